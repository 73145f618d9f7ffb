// Run-type keys and App Paths, read from the real registry of the test prefix.
#include "autorun_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace autorun_test;
using testing_support::Wide;

namespace {

const wchar_t kRunKeyW[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(RunKeys, ReadsTextValuesOfAnyLengthKeepsLongNamesUnnamedAndSkipsOtherTypes) {
    RegistryScratch scratch;
    const std::string long2000(2000, 'x');
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestA", "C:\\Nowhere\\a.exe /min"));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestB", "C:\\Nowhere\\b.exe",
                                 REG_EXPAND_SZ));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestC", long2000));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey,
                                 ("VeyrithTestE" + std::string(250, 'n')).c_str(), "e.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestF", "C:\\Nowhere\\f.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestG", "C:\\Nowhere\\g.exe",
                                 REG_BINARY));

    CAutoRunArray inventory;
    ReadRunKey(HKEY_CURRENT_USER, kRunKeyW, inventory);

    const CAutoRunInfo* a = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestA");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_nType, AUTORUN_REGISTRY);
    EXPECT_STREQ(a->m_szLocation, kRunKeyW);
    EXPECT_STREQ(a->m_szProgram, L"C:\\Nowhere\\a.exe /min") << "a command that is no file stays raw";
    const CAutoRunInfo* b = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestB");
    ASSERT_NE(b, nullptr) << "an expandable text counts like a plain one";
    EXPECT_STREQ(b->m_szProgram, L"C:\\Nowhere\\b.exe");
    const CAutoRunInfo* c = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestC");
    ASSERT_NE(c, nullptr) << "data beyond the first 520 bytes is read too";
    EXPECT_EQ(std::wstring(c->m_szProgram), Wide(long2000.substr(0, 259)));
    // A name beyond the field still tells that e.exe starts with Windows,
    // but carries no root key and no name that an action could use.
    int unnamed = 0;
    for (const CAutoRunInfo& entry : inventory) {
        EXPECT_NE(std::wstring(entry.m_szValueName).rfind(L"VeyrithTestE", 0), 0u) << "a name was cut";
        if (std::wstring(entry.m_szProgram) != L"e.exe") continue;
        ++unnamed;
        EXPECT_EQ(entry.m_hRootKey, nullptr);
        EXPECT_STREQ(entry.m_szValueName, L"");
        EXPECT_STREQ(entry.m_szLocation, kRunKeyW);
    }
    EXPECT_EQ(unnamed, 1);
    EXPECT_EQ(FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestG"), nullptr);
    EXPECT_NE(FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestF"), nullptr)
        << "values after the skipped ones are still read";
}

TEST(RunKeys, ProgramComesFromSearchThenAppPathsThenCommand) {
    RegistryScratch scratch;
    ASSERT_TRUE(scratch.SetAppPath(HKEY_LOCAL_MACHINE, "veyrithboth.exe", "C:\\Machine\\both.exe"));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithboth.exe", "C:\\User\\both.exe"));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithuser.exe", "C:\\User\\user.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunKey, "VeyrithTestNotepad", "notepad.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunKey, "VeyrithTestBoth", "VeyrithBoth.EXE"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunKey, "VeyrithTestUser", "veyrithuser.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunKey, "VeyrithTestArgs", "veyrithuser.exe /x"));

    CAutoRunArray inventory;
    ReadRunKey(HKEY_LOCAL_MACHINE, kRunKeyW, inventory);

    const CAutoRunInfo* notepad = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestNotepad");
    ASSERT_NE(notepad, nullptr);
    std::wstring found = Lower(std::wstring(notepad->m_szProgram));
    EXPECT_EQ(found.substr(1, 2), L":\\") << found;
    EXPECT_EQ(found.substr(found.size() - 12), L"\\notepad.exe") << found;
    EXPECT_NE(GetFileAttributesW(notepad->m_szProgram), INVALID_FILE_ATTRIBUTES);

    const CAutoRunInfo* both = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestBoth");
    ASSERT_NE(both, nullptr);
    EXPECT_STREQ(both->m_szProgram, L"C:\\Machine\\both.exe");
    const CAutoRunInfo* user = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestUser");
    ASSERT_NE(user, nullptr);
    EXPECT_STREQ(user->m_szProgram, L"C:\\User\\user.exe");
    EXPECT_EQ(user->m_hRootKey, HKEY_LOCAL_MACHINE);
    const CAutoRunInfo* args = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestArgs");
    ASSERT_NE(args, nullptr);
    EXPECT_STREQ(args->m_szProgram, L"veyrithuser.exe /x") << "App Paths names are whole commands";
}

TEST(AppPaths, DefaultValueCountsOnlyAsText) {
    RegistryScratch scratch;
    const std::string longPath = "C:\\" + std::string(256, 'p');
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithexpand.exe", "%ProgramFiles%\\x.exe",
                                   REG_EXPAND_SZ));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithempty.exe", ""));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithlong.exe", longPath));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithbinary.exe", "C:\\b.exe", REG_BINARY));

    std::wstring path = L"untouched";
    EXPECT_TRUE(FindAppPath(HKEY_CURRENT_USER, L"VEYRITHEXPAND.EXE", path));
    EXPECT_EQ(path, L"%ProgramFiles%\\x.exe");
    EXPECT_TRUE(FindAppPath(HKEY_CURRENT_USER, L"veyrithempty.exe", path));
    EXPECT_EQ(path, L"");
    EXPECT_TRUE(FindAppPath(HKEY_CURRENT_USER, L"veyrithlong.exe", path));
    EXPECT_EQ(path, Wide(longPath)) << "259 characters fit the 260-character buffer";
    EXPECT_FALSE(FindAppPath(HKEY_CURRENT_USER, L"veyrithbinary.exe", path));
    EXPECT_FALSE(FindAppPath(HKEY_CURRENT_USER, L"veyrithexpand", path)) << "whole names only";
    EXPECT_FALSE(FindAppPath(HKEY_LOCAL_MACHINE, L"veyrithexpand.exe", path));

    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestLong", "veyrithlong.exe"));
    CAutoRunArray inventory;
    ReadRunKey(HKEY_CURRENT_USER, kRunKeyW, inventory);
    const CAutoRunInfo* entry = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestLong");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::wstring(entry->m_szProgram), Wide(longPath)) << "an App Paths path is kept whole";
}

TEST(RunKeys, RunServicesIsReadForTheUserOnly) {
    RegistryScratch scratch;
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunServicesKey, "VeyrithTestService", "C:\\s.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunServicesKey, "VeyrithTestService", "C:\\s.exe"));

    CAutoRunArray inventory;
    CollectAutoRuns(inventory);

    const CAutoRunInfo* user = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestService");
    ASSERT_NE(user, nullptr);
    EXPECT_STREQ(user->m_szLocation, Wide(kRunServicesKey).c_str());
    EXPECT_EQ(FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestService"), nullptr);
}

}  // namespace

// A folder that does not exist is looked at once for the whole key; ".."
// after it leads back out to an existing file, which the search still finds.
TEST(RunKeys, ProgramsBelowAMissingFolderStayRawButDotDotStillLeadsOut) {
    RegistryScratch scratch;
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 3u);
    const std::string missing = std::string(system, 3) + "VeyrithMissing-" + std::to_string(GetCurrentProcessId());
    const std::string throughMissing = missing + "\\..\\" + std::string(system + 3) + "\\kernel32.dll";
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithMissingA", missing + "\\a.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithMissingB", throughMissing));

    CAutoRunArray inventory;
    ReadRunKey(HKEY_CURRENT_USER, kRunKeyW, inventory);

    const CAutoRunInfo* a = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithMissingA");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::wstring(a->m_szProgram), Wide(missing + "\\a.exe"));
    const CAutoRunInfo* b = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithMissingB");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(lstrcmpiW(b->m_szProgram, Wide(std::string(system) + "\\kernel32.dll").c_str()), 0) << b->m_szProgram;
}
