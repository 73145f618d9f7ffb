// The rules of the uninstaller that need no installation: its command line
// and which program group names it may work in.
#include "installer_shared/url_window.h"
#include "uninstall/phase_argument.h"
#include "uninstall/program_group.h"
#include "uninstall/work_folder.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <string>
#include <vector>

namespace {

// The entries of an access list as "type flags mask sid".
std::vector<std::string> EntriesOf(PACL list) {
    std::vector<std::string> entries;
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        char* sid = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&entry)) || !ConvertSidToStringSidA(&entry->SidStart, &sid))
            continue;
        char text[128];
        wsprintfA(text, "%u %#x %#lx %s", entry->Header.AceType, entry->Header.AceFlags, entry->Mask, sid);
        entries.push_back(text);
        LocalFree(sid);
    }
    return entries;
}

// What the work folder is made with, read back through the security API:
// SYSTEM and the Administrators full control, passed on to everything in the
// folder, nothing for anyone else and nothing inherited from the folder above.
TEST(UninstallRules, WorkFolderIsForSystemAndAdministratorsOnly) {
    CLocalMemory descriptor = uninstall::WorkFolderDescriptor();
    ASSERT_TRUE(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor.Get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.Get(), &present, &list, &defaulted));
    ASSERT_TRUE(present && list);
    EXPECT_EQ(EntriesOf(list), (std::vector<std::string>{"0 0x3 0x1f01ff S-1-5-18", "0 0x3 0x1f01ff S-1-5-32-544"}));
}

TEST(UninstallRules, CommandLineTellsThePhase) {
    EXPECT_FALSE(uninstall::HasArgument(L"\"C:\\Program Files\\Veyrith\\uninstall.exe\"  "));
    EXPECT_FALSE(uninstall::HasArgument(L"C:\\Veyrith\\uninstall.exe"));
    EXPECT_TRUE(uninstall::HasArgument(L"C:\\Temp\\uninst.tmp /run"));
    EXPECT_TRUE(uninstall::HasArgument(L"\"C:\\a b\\uninst.tmp\" x"));
}

TEST(UninstallRules, OnlyAPlainFolderNameIsAProgramGroup) {
    for (const wchar_t* name : {L"Veyrith", L"My Tools", L"Veyrith 1.0", L"x.", L" x", L"\u0412\u0435\u0439"})
        EXPECT_TRUE(uninstall::IsPlainFolderName(name)) << name;
    for (const wchar_t* name : {L"", L".", L"..", L"...", L" ", L". .", L"x\\..\\..", L"..\\x", L"a/b", L"C:",
                                L"C:x", L"*", L"Vey?ith", L"\\\\server\\share", L"a|b", L"tab\there"})
        EXPECT_FALSE(uninstall::IsPlainFolderName(name)) << name;
}

TEST(UninstallRules, LinkTextHoldsFourFields) {
    installer::URLWindowFields fields =
        installer::ParseURLWindowText(L"www.tarnwick.com|https://www.tarnwick.com/|Arial|12");
    EXPECT_EQ(fields.text, L"www.tarnwick.com");
    EXPECT_EQ(fields.target, L"https://www.tarnwick.com/");
    EXPECT_EQ(fields.face, L"Arial");
    EXPECT_EQ(fields.size, 12);
    EXPECT_EQ(installer::ParseURLWindowText(L"only text").target, L"");
}

TEST(UninstallRules, LinkSizesItselfToItsTextAndKeepsItsPlace) {
    ASSERT_TRUE(installer::RegisterURLWindowClass(GetModuleHandleA(nullptr),
                                                  {RGB(0x80, 0x80, 0x80), RGB(0, 0, 0), 110}));
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
    HWND link = CreateWindowExW(0, installer::kURLWindowClass, L"www.tarnwick.com|https://x/|default|8",
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
