// Startup folder shortcuts and win.ini options, read from the real files of
// the test prefix.
#include "autorun_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using namespace autorun_test;
using testing_support::TempFolder;
using testing_support::WriteTextFile;

namespace {

const CAutoRunInfo* FindShortcutEntry(const CAutoRunArray& inventory, const std::string& link) {
    int index = IndexOfLocation(inventory, link);
    if (index < 0) return nullptr;
    EXPECT_EQ(inventory[index].m_nType, AUTORUN_SHORTCUT);
    EXPECT_EQ(inventory[index].m_hRootKey, nullptr);
    EXPECT_STREQ(inventory[index].m_szValueName, "");
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
    EXPECT_EQ(Lower(entry->m_szProgram), Lower(shortTarget));
    CAutoRunInfo found;
    ASSERT_TRUE(FindAutoRunForProcess(inventory, target.c_str(), found));
    EXPECT_STREQ(found.m_szLocation, link.Path().c_str());
}

TEST(StartupFolder, DanglingShortcutGivesEntryWithoutProgram) {
    TempFolder temp;
    const std::string target = temp.File("gone.exe");
    ASSERT_TRUE(WriteTextFile(target, "MZ"));
    StartupShortcut link("Veyrith test dangling.lnk", target);
    ASSERT_TRUE(link.Made());
    ASSERT_TRUE(DeleteFileA(target.c_str()));

    CAutoRunArray inventory;
    ReadStartupFolder(inventory, CSIDL_STARTUP);
    const CAutoRunInfo* entry = FindShortcutEntry(inventory, link.Path());
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->m_szProgram, "");

    CoInitialize(nullptr);
    std::string resolved = "untouched";
    EXPECT_FALSE(SUCCEEDED(ResolveShortcut(nullptr, link.Path().c_str(), resolved)));
    EXPECT_EQ(resolved, "");
    EXPECT_FALSE(SUCCEEDED(ResolveShortcut(nullptr, temp.File("missing.lnk").c_str(), resolved)));
    EXPECT_EQ(resolved, "");
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
    const char* expected[] = {"a.exe", "", "b.exe"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(inventory[i].m_nType, AUTORUN_WININI);
        EXPECT_STREQ(inventory[i].m_szLocation, "load");
        EXPECT_STREQ(inventory[i].m_szProgram, expected[i]) << "piece " << i;
    }
    EXPECT_EQ(std::string(inventory[3].m_szProgram), longPiece.substr(0, 258));
    EXPECT_STREQ(inventory[4].m_szLocation, "run");
    EXPECT_STREQ(inventory[4].m_szProgram, "") << "a missing option still gives one entry";

    CAutoRunInfo found;
    CAutoRunArray emptyOnly(inventory.begin() + 4, inventory.end());
    EXPECT_FALSE(FindAutoRunForProcess(emptyOnly, "C:\\windows\\system32\\notepad.exe", found));
    EXPECT_FALSE(FindAutoRunForProcess(emptyOnly, "", found)) << "an empty path starts nothing";
    EXPECT_EQ(found.m_nType, AUTORUN_NONE);
}

}  // namespace
