#include "veyrith_configure/tool_switch.h"
#include "veyrith_configure/file_guard.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

TEST(ParameterString, SkipsQuotedProgramNameWithBlanks) {
    EXPECT_STREQ(ParameterString("\"C:\\Program Files\\V\\veyrith_configure.exe\" -kill"), "-kill");
    EXPECT_STREQ(ParameterString("veyrith_configure.exe\t \x01-copy"), "-copy");
    EXPECT_STREQ(ParameterString("veyrith_configure.exe"), "");
    EXPECT_STREQ(ParameterString("\"unterminated -kill"), "");
}

TEST(ParameterString, KeepsTrailingBlanksAndInnerText) {
    EXPECT_STREQ(ParameterString("tool.exe -kill "), "-kill ");
    EXPECT_STREQ(ParameterString("tool.exe   -move a b"), "-move a b");
}

TEST(ParameterString, AWideCommandLineGivesItsParametersAsAscii) {
    std::string parameters = "untouched";
    EXPECT_TRUE(AsciiParameterString(L"\"C:\\\u5de5\u5177 \u0436\\veyrith_configure.exe\" -kill 12", parameters));
    EXPECT_EQ(parameters, "-kill 12");
    EXPECT_TRUE(AsciiParameterString(L"C:\\\u5de5\u5177\\veyrith_configure.exe\t-copy", parameters));
    EXPECT_EQ(parameters, "-copy");
    EXPECT_FALSE(AsciiParameterString(L"tool.exe -kill \u0661\u0662", parameters));
    EXPECT_EQ(parameters, "-kill ") << "what was read so far";
}

TEST(MatchSwitch, WholeStringInAnyLetterCase) {
    EXPECT_EQ(MatchSwitch("-kill"), ToolSwitch::Kill);
    EXPECT_EQ(MatchSwitch("-KILL"), ToolSwitch::Kill);
    EXPECT_EQ(MatchSwitch("-Kill_Del"), ToolSwitch::KillDelete);
    EXPECT_EQ(MatchSwitch("-move_reboot"), ToolSwitch::MoveReboot);
    EXPECT_EQ(MatchSwitch("-Move"), ToolSwitch::Move);
    EXPECT_EQ(MatchSwitch("-copy"), ToolSwitch::Copy);
    EXPECT_EQ(MatchSwitch("-REG_AUTORUN"), ToolSwitch::RegAutorun);
    EXPECT_EQ(MatchSwitch("-info"), ToolSwitch::Info);
}

TEST(MatchSwitch, AnythingMoreOrLessIsNoSwitch) {
    EXPECT_EQ(MatchSwitch(""), ToolSwitch::None);
    EXPECT_EQ(MatchSwitch("-kill "), ToolSwitch::None);
    EXPECT_EQ(MatchSwitch("-kill 12"), ToolSwitch::None);
    EXPECT_EQ(MatchSwitch("-kil"), ToolSwitch::None);
    EXPECT_EQ(MatchSwitch("kill"), ToolSwitch::None);
    EXPECT_EQ(MatchSwitch("/kill"), ToolSwitch::None);
}

TEST(ParseToolCommand, ASwitchOneSpaceAndTheDigest) {
    const std::string digest = "0123456789abcdef0123456789abcdef01234567";
    ToolCommand command = ParseToolCommand(("-Kill_Del " + digest).c_str());
    EXPECT_EQ(command.which, ToolSwitch::KillDelete);
    EXPECT_EQ(command.digest, digest);

    std::string upper = "0123456789ABCDEF0123456789abcdef01234567";
    for (const std::string& bad :
         {std::string("-kill"), "-kill " + digest.substr(1), "-kill " + digest + "8", "-kill " + upper,
          "-kill  " + digest, "-kill\t" + digest, "-kill " + digest + " ", " -kill " + digest,
          "-kil " + digest, "-kill x" + digest.substr(1), " " + digest, std::string("")}) {
        command = ParseToolCommand(bad.c_str());
        EXPECT_EQ(command.which, ToolSwitch::None) << bad;
        EXPECT_TRUE(command.digest.empty()) << bad;
    }
}

// The descriptor of the quarantine and its copies: this Wine keeps no
// descriptors on files, so the one the tool sets is read back from what it
// builds. A protected DACL with full control for SYSTEM and the
// Administrators, inherited by files and folders, and no one else.
TEST(QuarantineSecurity, OnlySystemAndAdministratorsAndNothingInherited) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnlySddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present && dacl);
    ASSERT_EQ(dacl->AceCount, 2);
    for (WELL_KNOWN_SID_TYPE expected : {WinLocalSystemSid, WinBuiltinAdministratorsSid}) {
        bool found = false;
        for (WORD i = 0; i < dacl->AceCount; ++i) {
            ACCESS_ALLOWED_ACE* ace = nullptr;
            ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
            ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
            EXPECT_EQ(ace->Mask, static_cast<DWORD>(FILE_ALL_ACCESS));
            EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
                      OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
            if (IsWellKnownSid(reinterpret_cast<PSID>(&ace->SidStart), expected)) found = true;
        }
        EXPECT_TRUE(found) << expected;
    }
    LocalFree(descriptor);
}
