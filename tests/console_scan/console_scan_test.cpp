// veyrith_scan.exe as a script runs it: its exit code, its JSON document,
// its report, and what it leaves where it cannot write.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../scanner/hook_host.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char kAutorunValue[] = "VeyrithConsoleScanTest";
const DWORD kScanTimeoutMs = 60000;

DWORD RunScan(const std::string& exe, const std::string& arguments) {
    return RunToEnd(Quoted(exe) + " " + arguments, kScanTimeoutMs);
}

// A path as the JSON document writes it: backslashes doubled.
std::string JsonPath(const std::string& path) {
    std::string text;
    for (char c : path) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

// The line of the document that holds the host with this process id.
std::string HostLine(const std::string& json, DWORD pid) {
    size_t at = json.find("{\"pid\": " + std::to_string(pid) + ",");
    if (at == std::string::npos) return std::string();
    return json.substr(at, json.find('\n', at) - at);
}

size_t FilesIn(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    size_t count = 0;
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data) != FALSE) {
        if (data.cFileName[0] != '.') ++count;
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return count;
}

// Two hidden hosts of the sample hook beside its module, one of them
// started with Windows through a Run value.
class ConsoleScanWithHosts : public ::testing::Test {
protected:
    void SetUp() override {
        m_dll = m_folder.File("console_watch.dll");
        m_autorunExe = m_folder.File("autorun_host.exe");
        m_plainExe = m_folder.File("plain_host.exe");
        ASSERT_TRUE(CopyFromBin("sample_hook.dll", m_dll));
        ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", m_autorunExe));
        ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", m_plainExe));
        ASSERT_TRUE(m_autorun.Start(m_autorunExe, std::string("-hook keyboard -autorun ") + kAutorunValue +
                                                      " -dll " + Quoted(m_dll)));
        ASSERT_TRUE(m_plain.Start(m_plainExe, "-hook keyboard -dll " + Quoted(m_dll)));
    }

    TempFolder m_folder;
    TempFolder m_output;
    std::string m_dll, m_autorunExe, m_plainExe;
    HookHost m_autorun, m_plain;
};

TEST_F(ConsoleScanWithHosts, ListsTheModuleWithEveryHostAndItsFactsAndExitsOne) {
    std::string json = m_output.File("result.json");
    std::string html = m_output.File("result.htm");
    ASSERT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--json " + Quoted(json) + " --html " + Quoted(html)), 1u);
    std::string text = Lower(ReadTextFile(json));
    EXPECT_NE(text.find("\"confirmed\": true"), std::string::npos);
    EXPECT_NE(text.find("{\"path\": \"" + Lower(JsonPath(m_dll)) + "\", \"bits\": 32, \"description\": \"sample"),
              std::string::npos);
    EXPECT_EQ(text.find("veyrith_selftest"), std::string::npos);

    std::string autorun = HostLine(text, m_autorun.Id());
    EXPECT_NE(autorun.find("\"path\": \"" + Lower(JsonPath(m_autorunExe)) + "\""), std::string::npos) << autorun;
    EXPECT_NE(autorun.find("\"visible\": false, \"same_folder\": true"), std::string::npos) << autorun;
    EXPECT_NE(autorun.find("\"kind\": \"registry\""), std::string::npos) << autorun;
    EXPECT_NE(autorun.find(Lower(std::string("\"value\": \"") + kAutorunValue + "\"")), std::string::npos);
    EXPECT_NE(autorun.find("\"alert_level\": 1, \"alert\": \"invisible, starts with windows, located in the same"),
              std::string::npos) << autorun;

    std::string plain = HostLine(text, m_plain.Id());
    EXPECT_NE(plain.find("\"path\": \"" + Lower(JsonPath(m_plainExe)) + "\""), std::string::npos) << plain;
    EXPECT_NE(plain.find("\"autorun\": {\"kind\": \"none\", \"location\": \"\", \"value\": \"\""),
              std::string::npos) << plain;
    EXPECT_NE(plain.find("\"alert_level\": 2, \"alert\": \"invisible, located in the same"), std::string::npos)
        << plain;

    std::string report = Lower(ReadTextFile(html));
    EXPECT_NE(report.find("1 file(s) performing system-wide monitoring"), std::string::npos);
    EXPECT_NE(report.find(Lower(m_dll)), std::string::npos);
}

TEST(ConsoleScan, ACleanConfirmedScanExitsZero) {
    TempFolder output;
    ASSERT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--json " + Quoted(output.File("clean.json"))), 0u);
    std::string text = ReadTextFile(output.File("clean.json"));
    EXPECT_NE(text.find("\"confirmed\": true"), std::string::npos) << text;
    EXPECT_NE(text.find("\"modules\": []"), std::string::npos) << text;
}

TEST(ConsoleScan, WithoutTheSelfTestModuleBesideItTheScanIsUnconfirmedAndExitsTwo) {
    TempFolder folder;
    ASSERT_TRUE(CopyFromBin("veyrith_scan.exe", folder.File("veyrith_scan.exe")));
    ASSERT_TRUE(CopyFromBin("veyrith_selftest.exe", folder.File("veyrith_selftest.exe")));
    std::string json = folder.File("blind.json");
    ASSERT_EQ(RunScan(folder.File("veyrith_scan.exe"), "--json " + Quoted(json)), 2u);
    std::string text = ReadTextFile(json);
    EXPECT_NE(text.find("\"confirmed\": false"), std::string::npos) << text;
    EXPECT_NE(text.find("could not confirm"), std::string::npos) << text;
}

TEST(ConsoleScan, AnOutputThatCannotBeWrittenExitsThreeAndLeavesNothingBehind) {
    TempFolder output;
    // A folder where the file should go: the text is written beside it and
    // cannot take its name.
    std::string taken = output.File("taken.json");
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), nullptr));
    EXPECT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--json " + Quoted(taken)), 3u);
    EXPECT_EQ(FilesIn(output.Path()), 1u);
    EXPECT_EQ(FilesIn(taken + "\\"), 0u);
    std::string missing = output.File("no such folder\\result.htm");
    EXPECT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--html " + Quoted(missing)), 3u);
    EXPECT_EQ(FilesIn(output.Path()), 1u);
}

TEST(ConsoleScan, AnUnknownArgumentOrAMissingFileNameExitsThree) {
    EXPECT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--quarantine"), 3u);
    EXPECT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--json"), 3u);
    EXPECT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--help"), 0u);
}

}  // namespace
