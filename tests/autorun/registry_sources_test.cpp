// Run-type keys and App Paths, read from the real registry of the test prefix.
#include "autorun_test_support.h"

#include <gtest/gtest.h>

using namespace autorun_test;

namespace {

TEST(RunKeys, ReadsTextValuesOfAnyLengthAndSkipsLongNamesAndOtherTypes) {
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
    ReadRunKey(HKEY_CURRENT_USER, kRunKey, inventory);

    const CAutoRunInfo* a = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestA");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_nType, AUTORUN_REGISTRY);
    EXPECT_STREQ(a->m_szLocation, kRunKey);
    EXPECT_STREQ(a->m_szProgram, "C:\\Nowhere\\a.exe /min") << "a command that is no file stays raw";
    const CAutoRunInfo* b = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestB");
    ASSERT_NE(b, nullptr) << "an expandable text counts like a plain one";
    EXPECT_STREQ(b->m_szProgram, "C:\\Nowhere\\b.exe");
    const CAutoRunInfo* c = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestC");
    ASSERT_NE(c, nullptr) << "data beyond the first 520 bytes is read too";
    EXPECT_EQ(std::string(c->m_szProgram), long2000.substr(0, 259));
    for (const CAutoRunInfo& entry : inventory)
        EXPECT_NE(std::string(entry.m_szValueName).rfind("VeyrithTestE", 0), 0u)
            << "a name beyond 255 characters is skipped";
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
    ReadRunKey(HKEY_LOCAL_MACHINE, kRunKey, inventory);

    const CAutoRunInfo* notepad = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestNotepad");
    ASSERT_NE(notepad, nullptr);
    std::string found = Lower(notepad->m_szProgram);
    EXPECT_EQ(found.substr(1, 2), ":\\") << found;
    EXPECT_EQ(found.substr(found.size() - 12), "\\notepad.exe") << found;
    EXPECT_NE(GetFileAttributesA(notepad->m_szProgram), INVALID_FILE_ATTRIBUTES);

    const CAutoRunInfo* both = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestBoth");
    ASSERT_NE(both, nullptr);
    EXPECT_STREQ(both->m_szProgram, "C:\\Machine\\both.exe");
    const CAutoRunInfo* user = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestUser");
    ASSERT_NE(user, nullptr);
    EXPECT_STREQ(user->m_szProgram, "C:\\User\\user.exe");
    EXPECT_EQ(user->m_hRootKey, HKEY_LOCAL_MACHINE);
    const CAutoRunInfo* args = FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestArgs");
    ASSERT_NE(args, nullptr);
    EXPECT_STREQ(args->m_szProgram, "veyrithuser.exe /x") << "App Paths names are whole commands";
}

TEST(AppPaths, DefaultValueCountsOnlyAsText) {
    RegistryScratch scratch;
    const std::string longPath = "C:\\" + std::string(256, 'p');
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithexpand.exe", "%ProgramFiles%\\x.exe",
                                   REG_EXPAND_SZ));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithempty.exe", ""));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithlong.exe", longPath));
    ASSERT_TRUE(scratch.SetAppPath(HKEY_CURRENT_USER, "veyrithbinary.exe", "C:\\b.exe", REG_BINARY));

    std::string path = "untouched";
    EXPECT_TRUE(FindAppPath(HKEY_CURRENT_USER, "VEYRITHEXPAND.EXE", path));
    EXPECT_EQ(path, "%ProgramFiles%\\x.exe");
    EXPECT_TRUE(FindAppPath(HKEY_CURRENT_USER, "veyrithempty.exe", path));
    EXPECT_EQ(path, "");
    EXPECT_TRUE(FindAppPath(HKEY_CURRENT_USER, "veyrithlong.exe", path));
    EXPECT_EQ(path, longPath) << "259 characters fit the 260-byte buffer";
    EXPECT_FALSE(FindAppPath(HKEY_CURRENT_USER, "veyrithbinary.exe", path));
    EXPECT_FALSE(FindAppPath(HKEY_CURRENT_USER, "veyrithexpand", path)) << "whole names only";
    EXPECT_FALSE(FindAppPath(HKEY_LOCAL_MACHINE, "veyrithexpand.exe", path));

    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithTestLong", "veyrithlong.exe"));
    CAutoRunArray inventory;
    ReadRunKey(HKEY_CURRENT_USER, kRunKey, inventory);
    const CAutoRunInfo* entry = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestLong");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::string(entry->m_szProgram), longPath) << "an App Paths path is kept whole";
}

TEST(RunKeys, RunServicesIsReadForTheUserOnly) {
    RegistryScratch scratch;
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunServicesKey, "VeyrithTestService", "C:\\s.exe"));
    ASSERT_TRUE(scratch.SetValue(HKEY_LOCAL_MACHINE, kRunServicesKey, "VeyrithTestService", "C:\\s.exe"));

    CAutoRunArray inventory;
    CollectAutoRuns(inventory);

    const CAutoRunInfo* user = FindRegistryEntry(inventory, HKEY_CURRENT_USER, "VeyrithTestService");
    ASSERT_NE(user, nullptr);
    EXPECT_STREQ(user->m_szLocation, kRunServicesKey);
    EXPECT_EQ(FindRegistryEntry(inventory, HKEY_LOCAL_MACHINE, "VeyrithTestService"), nullptr);
}

}  // namespace
