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
