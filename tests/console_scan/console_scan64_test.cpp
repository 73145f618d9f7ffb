// veyrith_scan.exe on a 64-bit system, where the 64-bit companion looks at
// the 64-bit programs.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "../scanner/hook_host.h"
#include "json_reader.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const DWORD kScanTimeoutMs = 120000;

// A path as the JSON document writes it: backslashes doubled.
std::string JsonPath(const std::string& path) {
    std::string text;
    for (char c : path) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

TEST(ConsoleScan64, AHiddenHostOfA64BitHookIsListedAs64Bit) {
    HookHost host;
    ASSERT_TRUE(host.Start(BinDir() + "sample_hook_host64.exe",
                           "-hook keyboard -dll " + Quoted(BinDir() + "sample_hook64.dll")));
    TempFolder output;
    std::string json = output.File("result64.json");
    ASSERT_EQ(RunToEnd(Quoted(BinDir() + "veyrith_scan.exe") + " --json " + Quoted(json), kScanTimeoutMs), 1u);
    std::string text = Lower(ReadTextFile(json));
    EXPECT_NE(text.find("\"confirmed\": true"), std::string::npos) << text;
    EXPECT_NE(text.find("sample_hook64.dll\", \"bits\": 64"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"pid\": " + std::to_string(host.Id()) + ", \"path\": \"" +
                        Lower(JsonPath(BinDir() + "sample_hook_host64.exe")) + "\", \"visible\": false"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("veyrith_selftest"), std::string::npos);
}

struct Kind64 {
    const char* hookType;
    std::vector<std::wstring> watches;
};

// Every kind of hook that Wine's window manager calls in another program.
const Kind64 kKinds64[] = {
    {"keyboard", {L"reads keystrokes"}},
    {"getmessage", {L"reads keystrokes", L"watches the mouse"}},
    {"callwndproc", {L"watches windows"}},
    {"callwndprocret", {L"watches windows"}},
    {"cbt", {L"watches windows"}},
    {"shell", {L"watches windows"}},
    {"mouse", {L"watches the mouse"}},
    {"msgfilter", {L"other"}},
    {"sysmsgfilter", {L"other"}},
};

// The modules of a scan's document by their lower-cased paths.
const JsonValue* FindModule(const JsonValue& document, const std::string& path) {
    const JsonValue* modules = document.Member(L"modules");
    if (!modules) return nullptr;
    for (const JsonValue& module : modules->items) {
        const JsonValue* modulePath = module.Member(L"path");
        if (modulePath && modulePath->text == Wide(Lower(path))) return &module;
    }
    return nullptr;
}

// Starts one 64-bit host per hook kind, each with its own module, runs the
// scan and reads its document back.
class ConsoleScan64Hosts : public ::testing::Test {
protected:
    void StartHost(const std::string& hookType, const std::string& dll) {
        m_hosts.emplace_back(new HookHost);
        ASSERT_TRUE(m_hosts.back()->Start(BinDir() + "sample_hook_host64.exe",
                                          "-hook " + hookType + " -dll " + Quoted(dll)))
            << hookType;
    }

    DWORD Scan(JsonValue& document, DWORD& took) {
        std::string json = m_folder.File("scan64.json");
        DWORD started = GetTickCount();
        DWORD code = RunToEnd(Quoted(BinDir() + "veyrith_scan.exe") + " --json " + Quoted(json), kScanTimeoutMs);
        took = GetTickCount() - started;
        EXPECT_TRUE(ParseJson(ReadTextFile(json), document)) << "no document was written";
        return code;
    }

    void TearDown() override {
        for (auto& host : m_hosts) EXPECT_TRUE(host->Stop());
    }

    TempFolder m_folder;
    std::vector<std::unique_ptr<HookHost>> m_hosts;
};

TEST_F(ConsoleScan64Hosts, EveryKindOfA64BitHookIsListedWithWhatItWatches) {
    std::vector<std::string> dlls;
    for (const Kind64& kind : kKinds64) {
        dlls.push_back(m_folder.File(std::string(kind.hookType) + "_monitor64.dll"));
        ASSERT_TRUE(CopyFromBin("sample_hook64.dll", dlls.back()));
        StartHost(kind.hookType, dlls.back());
    }
    JsonValue document;
    DWORD took = 0;
    EXPECT_EQ(1u, Scan(document, took));
    const JsonValue* confirmed = document.Member(L"confirmed");
    EXPECT_TRUE(confirmed && confirmed->boolean) << "the self-test did not confirm the scan";
    for (size_t i = 0; i < dlls.size(); ++i) {
        const JsonValue* module = FindModule(document, dlls[i]);
        ASSERT_NE(nullptr, module) << kKinds64[i].hookType << " is not listed";
        const JsonValue* bits = module->Member(L"bits");
        EXPECT_TRUE(bits && bits->number == 64) << kKinds64[i].hookType;
        const JsonValue* watches = module->Member(L"watches");
        ASSERT_NE(nullptr, watches);
        EXPECT_EQ(kKinds64[i].watches, watches->Strings()) << kKinds64[i].hookType;
    }
}

// The companion is a scanner too: a 64-bit module that fights it once
// mapped in is never mapped there, so it is listed and the scan ends.
TEST_F(ConsoleScan64Hosts, HostileModulesOfTheCompanionAreListedAndTheScanEndsInItsTime) {
    const char* const hostiles[][2] = {
        {"hostile_refuse64.dll", "keyboard"},     {"hostile_exit64.dll", "getmessage"},
        {"hostile_sleep_attach64.dll", "callwndproc"}, {"hostile_sleep_hook64.dll", "cbt"},
        {"hostile_crash_hook64.dll", "mouse"},    {"hostile_erase64.dll", "msgfilter"},
    };
    for (const auto& hostile : hostiles) StartHost(hostile[1], BinDir() + hostile[0]);
    JsonValue document;
    DWORD took = 0;
    EXPECT_EQ(1u, Scan(document, took));
    EXPECT_LT(took, 20000u);
    const JsonValue* confirmed = document.Member(L"confirmed");
    EXPECT_TRUE(confirmed && confirmed->boolean);
    for (const auto& hostile : hostiles)
        EXPECT_NE(nullptr, FindModule(document, BinDir() + hostile[0])) << hostile[0] << " is not listed";
}

TEST(ConsoleScan64, WithoutTheCompanionTheScanIsUnconfirmedWithItsReason) {
    TempFolder folder;
    for (const char* file : {"veyrith_scan.exe", "veyrith_selftest.exe", "veyrith_selftest.dll"})
        ASSERT_TRUE(CopyFromBin(file, folder.File(file)));
    std::string json = folder.File("no-companion.json");
    ASSERT_EQ(RunToEnd(Quoted(folder.File("veyrith_scan.exe")) + " --json " + Quoted(json), kScanTimeoutMs), 2u);
    std::string text = ReadTextFile(json);
    EXPECT_NE(text.find("\"confirmed\": false"), std::string::npos) << text;
    EXPECT_NE(text.find("the check of 64-bit programs could not be started"), std::string::npos) << text;
}

}  // namespace
