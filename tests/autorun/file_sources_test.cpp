// Startup folder shortcuts and win.ini options, read from the real files of
// the test prefix.
#include "autorun_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <random>
#include <set>

using namespace autorun_test;
using testing_support::TempFolder;
using testing_support::Wide;
using testing_support::WriteTextFile;

namespace {

// A file of the given bytes in the user's real Startup folder; deleted by the
// destructor.
class StartupFile {
public:
    StartupFile(const std::string& fileName, const std::string& bytes) {
        char folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, folder)))
            return;
        m_path = std::string(folder) + "\\" + fileName;
        m_made = WriteTextFile(m_path, bytes);
    }
    ~StartupFile() {
        if (!m_path.empty()) DeleteFileA(m_path.c_str());
    }
    bool Made() const { return m_made; }
    const std::string& Path() const { return m_path; }
private:
    std::string m_path;
    bool m_made = false;
};

// The same bytes on every run: a failure can be reproduced.
std::string RandomBytes(size_t count) {
    std::mt19937 generator(20240611);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

BOOL CALLBACK AddOwnWindow(HWND window, LPARAM param) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) reinterpret_cast<std::set<HWND>*>(param)->insert(window);
    return TRUE;
}

// The top-level windows of this process, visible or not.
std::set<HWND> OwnTopLevelWindows() {
    std::set<HWND> windows;
    EnumWindows(AddOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

const CAutoRunInfo* FindShortcutEntry(const CAutoRunArray& inventory, const std::string& link) {
    int index = IndexOfLocation(inventory, link);
    if (index < 0) return nullptr;
    EXPECT_EQ(inventory[index].m_nType, AUTORUN_SHORTCUT);
    EXPECT_EQ(inventory[index].m_hRootKey, nullptr);
    EXPECT_STREQ(inventory[index].m_szValueName, L"");
    return &inventory[index];
}

TEST(StartupFolder, ShortcutGivesShortTargetThatTheLongPathFinds) {
    TempFolder temp;
    const std::string target = temp.File("Long Program Name.exe");
    ASSERT_TRUE(WriteTextFile(target, "MZ"));
    const std::string shortTarget = ShortPath(target);
    ASSERT_FALSE(shortTarget.empty());
    ASSERT_NE(Lower(shortTarget), Lower(target)) << "the target needs a distinct short form";
    StartupShortcut link("Veyrith test program.lnk", target);
    ASSERT_TRUE(link.Made());

    CAutoRunArray inventory;
    ReadStartupFolder(inventory, CSIDL_STARTUP);

    const CAutoRunInfo* entry = FindShortcutEntry(inventory, link.Path());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(Lower(std::wstring(entry->m_szProgram)), Wide(Lower(shortTarget)));
    CAutoRunInfo found;
    ASSERT_TRUE(FindAutoRunForProcess(inventory, Wide(target).c_str(), found));
    EXPECT_STREQ(found.m_szLocation, Wide(link.Path()).c_str());
}

// A link named in Cyrillic: the entry names the real link file, which the
// removal deletes. (Wine's link object keeps a target path in the code page
// only, so the target here has a plain name.)
TEST(StartupFolder, ALinkNamedBeyondTheCodePageIsNamedExactly) {
    TempFolder temp;
    const std::wstring target = Wide(temp.File("linked program.exe"));
    ASSERT_TRUE(WriteTextFile(target, "MZ"));
    wchar_t startup[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, startup)));
    const std::wstring link = std::wstring(startup) + L"\\\u0417\u0430\u043f\u0443\u0441\u043a \u76d1\u89c6.lnk";
    ASSERT_TRUE(MakeShortcut(link, target));

    CAutoRunArray inventory;
    ReadStartupFolder(inventory, CSIDL_STARTUP);
    DeleteFileW(link.c_str());

    CAutoRunInfo found;
    ASSERT_TRUE(FindAutoRunForProcess(inventory, target.c_str(), found));
    EXPECT_EQ(found.m_nType, AUTORUN_SHORTCUT);
    EXPECT_STREQ(found.m_szLocation, link.c_str());
}

TEST(StartupFolder, DanglingAndGarbageShortcutsGiveNoEntryAndNoWindow) {
    TempFolder temp;
    const std::string target = temp.File("gone.exe");
    ASSERT_TRUE(WriteTextFile(target, "MZ"));
    StartupShortcut dangling("Veyrith test dangling.lnk", target);
    ASSERT_TRUE(dangling.Made());
    ASSERT_TRUE(DeleteFileW(Wide(target).c_str()));
    StartupFile garbage("Veyrith test garbage.lnk", RandomBytes(512));
    ASSERT_TRUE(garbage.Made());

    const std::set<HWND> before = OwnTopLevelWindows();
    CAutoRunArray inventory;
    CollectAutoRuns(inventory);
    EXPECT_EQ(OwnTopLevelWindows(), before) << "resolving showed no shell dialog";

    EXPECT_EQ(IndexOfLocation(inventory, dangling.Path()), -1);
    EXPECT_EQ(IndexOfLocation(inventory, garbage.Path()), -1);

    CoInitialize(nullptr);
    std::wstring resolved = L"untouched";
    EXPECT_FALSE(SUCCEEDED(ResolveShortcut(Wide(dangling.Path()).c_str(), resolved)));
    EXPECT_EQ(resolved, L"");
    resolved = L"untouched";
    EXPECT_FALSE(SUCCEEDED(ResolveShortcut(Wide(temp.File("missing.lnk")).c_str(), resolved)));
    EXPECT_EQ(resolved, L"");
    CoUninitialize();
}

TEST(WinIni, OptionsSplitAtEverySingleSpace) {
    WinIniOption load("load");
    WinIniOption run("run");
    const std::string longPiece(300, 'w');
    ASSERT_TRUE(load.Set(("a.exe  b.exe " + longPiece).c_str()));
    ASSERT_TRUE(run.Set(nullptr));

    CAutoRunArray inventory;
    ReadWinIni(inventory);

    ASSERT_EQ(inventory.size(), 5u);
    const wchar_t* expected[] = {L"a.exe", L"", L"b.exe"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(inventory[i].m_nType, AUTORUN_WININI);
        EXPECT_STREQ(inventory[i].m_szLocation, L"load");
        EXPECT_STREQ(inventory[i].m_szProgram, expected[i]) << "piece " << i;
    }
    EXPECT_EQ(std::wstring(inventory[3].m_szProgram), Wide(longPiece.substr(0, 259)));
    EXPECT_STREQ(inventory[4].m_szLocation, L"run");
    EXPECT_STREQ(inventory[4].m_szProgram, L"") << "a missing option still gives one entry";

    CAutoRunInfo found;
    CAutoRunArray emptyOnly(inventory.begin() + 4, inventory.end());
    EXPECT_FALSE(FindAutoRunForProcess(emptyOnly, L"C:\\windows\\system32\\notepad.exe", found));
    EXPECT_FALSE(FindAutoRunForProcess(emptyOnly, L"", found)) << "an empty path starts nothing";
    EXPECT_EQ(found.m_nType, AUTORUN_NONE);
}

}  // namespace
