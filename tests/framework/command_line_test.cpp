// The standard command line reading: the splash is shown unless COM
// started the program.
#include "command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SplashUnlessEmbeddedOrAutomated) {
    EXPECT_TRUE(fw::ParseCommandLine("").bShowSplash);
    EXPECT_TRUE(fw::ParseCommandLine("report.txt /x").bShowSplash);

    fw::CommandLineInfo embedded = fw::ParseCommandLine("/Embedding");
    EXPECT_FALSE(embedded.bShowSplash);
    EXPECT_TRUE(embedded.bRunEmbedded);

    fw::CommandLineInfo automated = fw::ParseCommandLine("-automation");
    EXPECT_FALSE(automated.bShowSplash);
    EXPECT_TRUE(automated.bRunAutomated);
    // A word that merely contains the switch is a file name.
    EXPECT_TRUE(fw::ParseCommandLine("Embedding").bShowSplash);
}

TEST(CommandLine, FileNameAndProgramName) {
    EXPECT_EQ(fw::ParseCommandLine("  \"C:\\My Files\\a b.txt\" /Embedding").fileName,
              "C:\\My Files\\a b.txt");
    EXPECT_STREQ(fw::SkipProgramName("\"C:\\Program Files\\v.exe\"  /Embedding"), "/Embedding");
    EXPECT_STREQ(fw::SkipProgramName("v.exe"), "");
    EXPECT_STREQ(fw::SkipProgramName("v.exe\t-x y"), "-x y");
}

}  // namespace
