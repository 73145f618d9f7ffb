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
std::wstring JsonPath(const std::wstring& path) {
    std::wstring text;
    for (wchar_t c : path) text += c == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, c);
    return text;
}

// The document's UTF-8 read back exactly, lower-cased; empty when it is not
// UTF-8.
std::wstring LowerDocument(const std::string& bytes) {
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    std::wstring text(length, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &text[0],
                            length);
    return Lower(text);
}

// The line of the document that holds the host with this process id.
std::wstring HostLine(const std::wstring& json, DWORD pid) {
    size_t at = json.find(L"{\"pid\": " + std::to_wstring(pid) + L",");
    if (at == std::wstring::npos) return std::wstring();
    return json.substr(at, json.find(L'\n', at) - at);
}

bool Holds(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

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

// Two hidden hosts of the sample hook beside its module, in a folder named
// in Cyrillic, one of them started with Windows through a Run value.
class ConsoleScanWithHosts : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring folder = Wide(m_folder.Path()) + L"\x043d\x0430\x0431\x043b\x044e\x0434\x0435\x043d\x0438\x0435\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        m_dll = folder + L"console_watch.dll";
        m_autorunExe = folder + L"autorun_host.exe";
        m_plainExe = folder + L"plain_host.exe";
        ASSERT_TRUE(CopyFromBin("sample_hook.dll", m_dll));
        ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", m_autorunExe));
        ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", m_plainExe));
        ASSERT_TRUE(m_autorun.Start(m_autorunExe, L"-hook keyboard -autorun " + Wide(kAutorunValue) + L" -dll " +
                                                      Quoted(m_dll)));
        ASSERT_TRUE(m_plain.Start(m_plainExe, L"-hook keyboard -dll " + Quoted(m_dll)));
    }

    TempFolder m_folder;
    TempFolder m_output;
    std::wstring m_dll, m_autorunExe, m_plainExe;
    HookHost m_autorun, m_plain;
};

TEST_F(ConsoleScanWithHosts, ListsTheModuleWithEveryHostAndItsFactsAndExitsOne) {
    std::string json = m_output.File("result.json");
    std::string html = m_output.File("result.htm");
    ASSERT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--json " + Quoted(json) + " --html " + Quoted(html)), 1u);
    std::wstring text = LowerDocument(ReadTextFile(json));
    EXPECT_TRUE(Holds(text, L"\"confirmed\": true")) << Narrow(text);
    EXPECT_TRUE(Holds(text, L"{\"path\": \"" + Lower(JsonPath(m_dll)) + L"\", \"bits\": 32, \"description\": \"sample"))
        << Narrow(text);
    EXPECT_FALSE(Holds(text, L"veyrith_selftest"));

    std::wstring autorun = HostLine(text, m_autorun.Id());
    EXPECT_TRUE(Holds(autorun, L"\"path\": \"" + Lower(JsonPath(m_autorunExe)) + L"\"")) << Narrow(autorun);
    EXPECT_TRUE(Holds(autorun, L"\"visible\": false, \"same_folder\": true")) << Narrow(autorun);
    EXPECT_TRUE(Holds(autorun, L"\"kind\": \"registry\", \"hive\": \"hkey_current_user\", \"view\": 32"))
        << Narrow(autorun);
    EXPECT_TRUE(Holds(autorun, Lower(L"\"value\": \"" + Wide(kAutorunValue) + L"\"")));
    EXPECT_TRUE(Holds(autorun, L"\"alert_level\": 1, \"alert\": \"invisible, starts with windows, located in the same"))
        << Narrow(autorun);

    std::wstring plain = HostLine(text, m_plain.Id());
    EXPECT_TRUE(Holds(plain, L"\"path\": \"" + Lower(JsonPath(m_plainExe)) + L"\"")) << Narrow(plain);
    EXPECT_TRUE(Holds(plain, L"\"autorun\": {\"kind\": \"none\", \"hive\": \"\", \"view\": 0, \"location\": \"\", \"value\": \"\""))
        << Narrow(plain);
    EXPECT_TRUE(Holds(plain, L"\"alert_level\": 2, \"alert\": \"invisible, located in the same")) << Narrow(plain);

    std::wstring report = LowerDocument(ReadTextFile(html));
    EXPECT_TRUE(Holds(report, L"1 file(s) performing system-wide monitoring"));
    EXPECT_TRUE(Holds(report, Lower(m_dll)));
}

TEST(ConsoleScan, ACleanConfirmedScanExitsZero) {
    TempFolder output;
    ASSERT_EQ(RunScan(BinDir() + "veyrith_scan.exe", "--json " + Quoted(output.File("clean.json"))), 0u);
    std::string text = ReadTextFile(output.File("clean.json"));
    EXPECT_NE(text.find("\"confirmed\": true"), std::string::npos) << text;
    EXPECT_NE(text.find("\"modules\": []"), std::string::npos) << text;
}

// Without the self-test's module, or without its program, beside it: the
// scan is unconfirmed, exits 2, and says which.
TEST(ConsoleScan, WithoutTheSelfTestBesideItTheScanIsUnconfirmedExitsTwoAndSaysWhy) {
    const char* const cases[][2] = {{"veyrith_selftest.exe", "(veyrith_selftest.dll) is missing beside the program"},
                                    {"veyrith_selftest.dll", "(veyrith_selftest.exe) could not be started"}};
    for (const auto& present : cases) {
        TempFolder folder;
        ASSERT_TRUE(CopyFromBin("veyrith_scan.exe", folder.File("veyrith_scan.exe")));
        ASSERT_TRUE(CopyFromBin(present[0], folder.File(present[0])));
        std::string json = folder.File("blind.json");
        std::string summary;
        ASSERT_EQ(RunToEndWithOutput(Quoted(folder.File("veyrith_scan.exe")) + " --json " + Quoted(json),
                                     kScanTimeoutMs, summary),
                  2u)
            << present[0];
        std::string text = ReadTextFile(json);
        EXPECT_NE(text.find("\"confirmed\": false"), std::string::npos) << text;
        EXPECT_NE(text.find("could not confirm"), std::string::npos) << text;
        EXPECT_NE(text.find("\"reason_detail\": \"The self-test's "), std::string::npos) << text;
        EXPECT_NE(text.find(present[1]), std::string::npos) << text;
        EXPECT_NE(summary.find(present[1]), std::string::npos) << summary;
    }
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

TEST(ConsoleScan, AnUnknownArgumentOrAMissingFileNameIsNamedAndExitsThree) {
    const std::string scan = Quoted(BinDir() + "veyrith_scan.exe");
    for (const char* wrong : {"--quarantine", "--json"}) {
        std::string output;
        EXPECT_EQ(RunToEndWithOutput(scan + " " + wrong, kScanTimeoutMs, output), 3u) << wrong;
        EXPECT_NE(output.find(std::string("file name: ") + wrong + "\r\n"), std::string::npos) << output;
        EXPECT_NE(output.find("Usage: veyrith_scan"), std::string::npos) << output;
    }
    for (const char* help : {"--help", "-h"}) {
        std::string output;
        EXPECT_EQ(RunToEndWithOutput(scan + " " + help, kScanTimeoutMs, output), 0u) << help;
        EXPECT_EQ(0u, output.find("Usage: veyrith_scan")) << output;
    }
}

}  // namespace
