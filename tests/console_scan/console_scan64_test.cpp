// veyrith_scan.exe on a 64-bit system, where the 64-bit companion looks at
// the 64-bit programs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../scanner/hook_host.h"
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
