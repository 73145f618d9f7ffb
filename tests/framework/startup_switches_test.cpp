// The standard command line reading: the splash is shown unless COM
// started the program.
#include "framework/startup_switches.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SplashUnlessEmbeddedOrAutomated) {
    EXPECT_TRUE(fw::ParseCommandLine(L"").bShowSplash);
    EXPECT_TRUE(fw::ParseCommandLine(L"Embedding /x").bShowSplash);
    fw::CommandLineInfo embedded = fw::ParseCommandLine(L"\"C:\\My Files\\a b.txt\" /Embedding");
    EXPECT_FALSE(embedded.bShowSplash);
    EXPECT_TRUE(embedded.bRunEmbedded);
    EXPECT_EQ(embedded.fileName, L"C:\\My Files\\a b.txt");
    EXPECT_FALSE(fw::ParseCommandLine(L"-automation").bShowSplash);
    EXPECT_STREQ(fw::SkipProgramName(L"\"C:\\Program Files\\v.exe\"  /Embedding"), L"/Embedding");
    EXPECT_STREQ(fw::SkipProgramName(L"v.exe\t-x y"), L"-x y");
}

}  // namespace
