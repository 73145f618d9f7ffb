// The rules of the uninstaller that need no installation: its command line
// and which program group names it may delete.
#include "installer_shared/url_window.h"
#include "uninstall/command_line.h"
#include "uninstall/program_group.h"

#include <gtest/gtest.h>

namespace {

TEST(UninstallRules, CommandLineNamesTheProgramAndTellsThePhase) {
    EXPECT_EQ(uninstall::ProgramPathOf("\"C:\\Program Files\\Veyrith\\uninstall.exe\""),
              "C:\\Program Files\\Veyrith\\uninstall.exe");
    EXPECT_EQ(uninstall::ProgramPathOf("C:\\Temp\\uninst.tmp /run"), "C:\\Temp\\uninst.tmp");
    EXPECT_FALSE(uninstall::HasArgument("\"C:\\Program Files\\Veyrith\\uninstall.exe\"  "));
    EXPECT_TRUE(uninstall::HasArgument("C:\\Temp\\uninst.tmp /run"));
    EXPECT_TRUE(uninstall::HasArgument("\"C:\\a b\\uninst.tmp\" x"));
}

TEST(UninstallRules, OnlyAPlainFolderNameIsAProgramGroup) {
    for (const char* name : {"Veyrith", "My Tools", "Veyrith 1.0", "x.", " x"})
        EXPECT_TRUE(uninstall::IsPlainFolderName(name)) << name;
    for (const char* name : {"", ".", "..", "...", " ", ". .", "x\\..\\..", "..\\x", "a/b", "C:", "C:x",
                             "*", "Vey?ith", "\\\\server\\share", "a|b", "tab\there"})
        EXPECT_FALSE(uninstall::IsPlainFolderName(name)) << name;
}

TEST(UninstallRules, LinkTextHoldsFourFields) {
    installer::URLWindowFields fields =
        installer::ParseURLWindowText("www.tarnwick.com|https://www.tarnwick.com/|Arial|12");
    EXPECT_EQ(fields.text, "www.tarnwick.com");
    EXPECT_EQ(fields.target, "https://www.tarnwick.com/");
    EXPECT_EQ(fields.face, "Arial");
    EXPECT_EQ(fields.size, 12);
    EXPECT_EQ(installer::ParseURLWindowText("only text").target, "");
}

}  // namespace
