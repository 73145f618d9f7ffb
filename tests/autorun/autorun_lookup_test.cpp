// Which entry starts a process: the matching rule, the order of the sources,
// and the kinds' display texts.
#include "autorun_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace autorun_test;
using testing_support::TempFolder;
using testing_support::Wide;
using testing_support::WriteTextFile;

namespace {

CAutoRunInfo EntryFor(const std::wstring& program) {
    CAutoRunInfo entry = {};
    entry.m_nType = AUTORUN_REGISTRY;
    wcscpy(entry.m_szProgram, program.c_str());
    return entry;
}

CAutoRunInfo EntryFor(const std::string& program) { return EntryFor(Wide(program)); }

TEST(AutoRunLookup, MatchesOnlyWhereTheExecutablePathEnds) {
    const struct { const char* program; bool matches; } cases[] = {
        {"C:\\App\\app.exe", true},
        {"c:\\APP\\APP.EXE", true},
        {"\"C:\\App\\app.exe\" /min", true},
        {"\"C:\\App\\app.exe\"", true},
        {"C:\\App\\app.exe /min", true},
        {"C:\\App\\app.exe\t-x", true},
        {"C:\\App\\app.exe\"", true},
        {"C:\\App\\app.exe2.exe", false},
        {"C:\\App\\app.exe.bak", false},
        {"C:\\App\\app.ex", false},
        {"\"\"C:\\App\\app.exe", false},
        {" C:\\App\\app.exe", false},
        {"", false},
    };
    for (const auto& c : cases) {
        CAutoRunArray inventory = {EntryFor(c.program)};
        CAutoRunInfo found;
        bool matched = FindAutoRunForProcess(inventory, L"C:\\App\\app.exe", found);
        EXPECT_EQ(matched, c.matches) << "[" << c.program << "]";
        EXPECT_STREQ(found.m_szProgram, c.matches ? Wide(c.program).c_str() : L"");
    }
}

TEST(AutoRunLookup, ComparesLongFormsSoShortPathWithArgumentsMisses) {
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryA(temp.File("Long Program Folder").c_str(), nullptr));
    const std::string exe = temp.File("Long Program Folder\\Long Program.exe");
    ASSERT_TRUE(WriteTextFile(exe, "MZ"));
    const std::string shortExe = ShortPath(exe);
    ASSERT_NE(Lower(shortExe), Lower(exe));

    CAutoRunInfo found;
    CAutoRunArray bare = {EntryFor(shortExe)};
    EXPECT_TRUE(FindAutoRunForProcess(bare, Wide(exe).c_str(), found));
    EXPECT_TRUE(FindAutoRunForProcess(bare, Wide(shortExe).c_str(), found)) << "the process path is made long too";
    CAutoRunArray withArguments = {EntryFor(shortExe + " /min")};
    EXPECT_FALSE(FindAutoRunForProcess(withArguments, Wide(exe).c_str(), found));
}

// Letters beyond the code page match without regard to case, and a letter
// that merely looks alike (or became "?" somewhere) does not.
TEST(AutoRunLookup, NamesBeyondTheCodePageMatchExactlyWithoutRegardToCase) {
    const std::wstring exe = L"C:\\\u76d1\u89c6\\\u0428\u043f\u0438\u043e\u043d.exe";
    CAutoRunInfo found;
    CAutoRunArray otherCase = {EntryFor(std::wstring(L"\"C:\\\u76d1\u89c6\\\u0448\u041f\u0418\u041e\u041d.EXE\" /x"))};
    EXPECT_TRUE(FindAutoRunForProcess(otherCase, exe.c_str(), found));
    CAutoRunArray questionMarks = {EntryFor(std::wstring(L"C:\\??\\?????.exe"))};
    EXPECT_FALSE(FindAutoRunForProcess(questionMarks, exe.c_str(), found));
    CAutoRunArray otherScript = {EntryFor(std::wstring(L"C:\\\u76d1\u8996\\\u0428\u043f\u0438\u043e\u043d.exe"))};
    EXPECT_FALSE(FindAutoRunForProcess(otherScript, exe.c_str(), found));
}

TEST(AutoRunLookup, SourcesAreReadInOrderAndTheFirstMatchWins) {
    TempFolder temp;
    const std::string exe = temp.File("Ordered Program.exe");
    ASSERT_TRUE(WriteTextFile(exe, "MZ"));
    const std::string command = "\"" + exe + "\" /min";
    RegistryScratch scratch;
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunOnceKey, "VeyrithTestOrder", "C:\\5.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunOnceKey, "VeyrithTestOrder", "C:\\4.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunServicesKey, "VeyrithTestOrder", "C:\\3.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestOrder", "C:\\2.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunKey, "VeyrithTestOrder", command));
    StartupShortcut link("Veyrith test ordered.lnk", exe);
    ASSERT_TRUE(link.Made());
    // The common Startup folder is read after the user's own.
    const std::string otherExe = temp.File("Common Program.exe");
    ASSERT_TRUE(WriteTextFile(otherExe, "MZ"));
    StartupShortcut commonLink("Veyrith test common.lnk", otherExe, CSIDL_COMMON_STARTUP);
    ASSERT_TRUE(commonLink.Made());
    WinIniOption load("load");
    ASSERT_TRUE(load.Set("veyrith-order.exe"));

    CAutoRunArray inventory;
    inventory.push_back(EntryFor("stale entry"));
    CollectAutoRuns(inventory);

    // The inventory is emptied first: the record pushed above is gone.
    for (const CAutoRunInfo& entry : inventory)
        EXPECT_STRNE(entry.m_szProgram, L"stale entry");
    std::vector<int> positions;
    const std::pair<HKEY, const char*> keys[] = {
        {HKEY_LOCAL_MACHINE, kRunKey}, {HKEY_CURRENT_USER, kRunKey},
        {HKEY_CURRENT_USER, kRunServicesKey}, {HKEY_LOCAL_MACHINE, kRunOnceKey},
        {HKEY_CURRENT_USER, kRunOnceKey}};
    for (const auto& key : keys) {
        int position = -1;
        for (size_t i = 0; i < inventory.size(); ++i) {
            if (inventory[i].m_hRootKey == key.first && Wide(key.second) == inventory[i].m_szLocation &&
                !wcscmp(inventory[i].m_szValueName, L"VeyrithTestOrder"))
                position = static_cast<int>(i);
        }
        positions.push_back(position);
    }
    positions.push_back(IndexOfLocation(inventory, link.Path()));
    positions.push_back(IndexOfLocation(inventory, commonLink.Path()));
    int winIni = -1;
    for (size_t i = 0; i < inventory.size(); ++i)
        if (!wcscmp(inventory[i].m_szProgram, L"veyrith-order.exe")) winIni = static_cast<int>(i);
    positions.push_back(winIni);
    for (size_t i = 0; i < positions.size(); ++i) {
        ASSERT_GE(positions[i], 0) << "source " << i << " missing";
        if (i > 0) {
            EXPECT_LT(positions[i - 1], positions[i]) << "source " << i << " out of order";
        }
    }

    CAutoRunInfo found;
    ASSERT_TRUE(FindAutoRunForProcess(inventory, Wide(exe).c_str(), found));
    EXPECT_EQ(found.m_nType, AUTORUN_REGISTRY) << "the Run key comes before the Startup folder";
    EXPECT_EQ(found.m_hRootKey, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(std::wstring(found.m_szProgram), Wide(command));
}

TEST(AutoRunTypeText, NamesEachKind) {
    EXPECT_EQ(AutoRunTypeText(AUTORUN_NONE), L"None");
    EXPECT_EQ(AutoRunTypeText(AUTORUN_REGISTRY), L"Registry");
    EXPECT_EQ(AutoRunTypeText(AUTORUN_SHORTCUT), L"Shortcut");
    EXPECT_EQ(AutoRunTypeText(AUTORUN_WININI), L"Win.ini");
    EXPECT_EQ(AutoRunTypeText(4), L"");
    EXPECT_EQ(AutoRunTypeText(-1), L"");
}

}  // namespace
