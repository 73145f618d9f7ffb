// The standard command line reading: the splash is shown unless COM
// started the program.
#include "framework/startup_switches.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SplashUnlessEmbeddedOrAutomated) {
    EXPECT_TRUE(fw::ParseCommandLine("").bShowSplash);
    EXPECT_TRUE(fw::ParseCommandLine("Embedding /x").bShowSplash);
    fw::CommandLineInfo embedded = fw::ParseCommandLine("\"C:\\My Files\\a b.txt\" /Embedding");
    EXPECT_FALSE(embedded.bShowSplash);
    EXPECT_TRUE(embedded.bRunEmbedded);
    EXPECT_EQ(embedded.fileName, "C:\\My Files\\a b.txt");
    EXPECT_FALSE(fw::ParseCommandLine("-automation").bShowSplash);
    EXPECT_STREQ(fw::SkipProgramName("\"C:\\Program Files\\v.exe\"  /Embedding"), "/Embedding");
    EXPECT_STREQ(fw::SkipProgramName("v.exe\t-x y"), "-x y");
}

}  // namespace
