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

TEST(UninstallRules, LinkSizesItselfToItsTextAndKeepsItsPlace) {
    ASSERT_TRUE(installer::RegisterURLWindowClass(GetModuleHandleA(nullptr),
                                                  {RGB(0x80, 0x80, 0x80), RGB(0, 0, 0), 110}));
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
    HWND link = CreateWindowExA(0, installer::kURLWindowClass, "www.tarnwick.com|https://x/|default|8",
                                WS_CHILD | WS_VISIBLE, 30, 40, 300, 100, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(link, nullptr);
    RECT bounds;
    GetWindowRect(link, &bounds);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, "www.tarnwick.com", 16, &extent);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    EXPECT_EQ(bounds.left, 30);
    EXPECT_EQ(bounds.top, 40);
    EXPECT_EQ(bounds.right - bounds.left, extent.cx);
    EXPECT_EQ(bounds.bottom - bounds.top, extent.cy);
    DestroyWindow(parent);
}

}  // namespace
