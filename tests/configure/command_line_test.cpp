#include "veyrith_configure/command_line.h"

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
