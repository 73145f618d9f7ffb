// How the parts of setup reach the one state of the run: a wizard page
// through the lParam of its PROPSHEETPAGE, the installation dialog through
// its dialog parameter; each keeps it in its DWLP_USER.
#include "setup/setup_state.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>

namespace {

// A dialog with no controls, as a template in memory.
struct EmptyTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};
alignas(4) const EmptyTemplate kPageTemplate = {{WS_CHILD | WS_CAPTION | DS_CONTROL, 0, 0, 0, 0, 100, 50}, 0, 0, 0};
alignas(4) const EmptyTemplate kDialogTemplate = {{WS_POPUP, 0, 0, 0, 0, 100, 50}, 0, 0, 0};

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) KeepPageState(page, lParam);
    return message == WM_INITDIALOG;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) KeepDialogState(dialog, lParam);
    return message == WM_INITDIALOG;
}

INT_PTR CALLBACK KeepingNothingProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(SetupState, WizardPageKeepsTheStateOfItsPropSheetPage) {
    CSetupState state;
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pResource = &kPageTemplate.dialog;
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(&state);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = L"Setup state";
    header.nPages = 1;
    header.ppsp = &page;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    ASSERT_NE(sheet, nullptr);
    HWND shown = PropSheet_GetCurrentPageHwnd(sheet);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(DialogState(shown), &state);
    DestroyWindow(sheet);
}

TEST(SetupState, DialogKeepsTheStateItIsCreatedWithAndOnlyThen) {
    CSetupState state;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &kDialogTemplate.dialog, nullptr, DialogProc,
                                             reinterpret_cast<LPARAM>(&state));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogState(dialog), &state);
    DestroyWindow(dialog);
    HWND other = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &kDialogTemplate.dialog, nullptr,
                                            KeepingNothingProc, reinterpret_cast<LPARAM>(&state));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(DialogState(other), nullptr);
    DestroyWindow(other);
}

}  // namespace
