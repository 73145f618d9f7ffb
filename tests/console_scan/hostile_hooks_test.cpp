// Hook modules that fight a scanner once they are mapped into it: one that
// refuses to load there, one that ends the process, one that sleeps in its
// entry point, one that sleeps in its hook, one that crashes in its hook and
// one that erases its own name and undoes the import patches. Each is set
// by a host of its own as a hook of a kind of its own (so that none stands
// before another in a hook chain). None is ever mapped into the scan, so
// each is listed, the scan ends in its normal time, and a script reads
// exit code 1.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "../scanner/hook_host.h"
#include "test_support.h"

using namespace testing_support;

namespace {

struct Hostile {
    const char* dll;
    const char* hookType;
};

const Hostile kHostiles[] = {
    {"hostile_refuse.dll", "keyboard"},     {"hostile_exit.dll", "getmessage"},
    {"hostile_sleep_attach.dll", "callwndproc"}, {"hostile_sleep_hook.dll", "cbt"},
    {"hostile_crash_hook.dll", "mouse"},    {"hostile_erase.dll", "msgfilter"},
};

// The console scan's own bound is the self-test's 5 s and the companion's;
// a scan that a module could hang runs into this.
constexpr DWORD kScanTimeoutMs = 60000;
constexpr DWORD kNormalScanMs = 20000;

std::string ReadAll(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

// A path as the JSON document writes it: lower-cased, backslashes doubled.
std::string JsonPath(const std::string& path) {
    std::string text;
    for (char c : Lower(path)) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

TEST(HostileHooks, EachIsListedAndTheScanEndsInItsTimeWithExitCodeOne) {
    TempFolder folder;
    std::vector<std::unique_ptr<HookHost>> hosts;
    for (const Hostile& hostile : kHostiles) {
        hosts.emplace_back(new HookHost);
        ASSERT_TRUE(hosts.back()->Start(BinDir() + "sample_hook_host.exe", std::string("-hook ") + hostile.hookType +
                                                                               " -dll " + Quoted(BinDir() + hostile.dll)))
            << hostile.dll;
    }
    const std::string json = folder.File("scan.json");
    DWORD started = GetTickCount();
    DWORD exitCode = RunToEnd(Quoted(BinDir() + "veyrith_scan.exe") + " --json " + Quoted(json), kScanTimeoutMs);
    DWORD took = GetTickCount() - started;
    EXPECT_EQ(1u, exitCode);
    EXPECT_LT(took, kNormalScanMs);
    const std::string text = Lower(ReadAll(json));
    ASSERT_FALSE(text.empty()) << "no document was written";
    EXPECT_NE(std::string::npos, text.find("\"confirmed\": true"));
    for (const Hostile& hostile : kHostiles)
        EXPECT_NE(std::string::npos, text.find("\"path\": \"" + JsonPath(BinDir() + hostile.dll) + "\""))
            << hostile.dll << " is not listed";
    for (auto& host : hosts) EXPECT_TRUE(host->Stop());
}

}  // namespace
