// The dialog base: data exchange in both directions, modal and modeless,
// and the message loop's keyboard navigation in the active modeless dialog.
#include "framework/application.h"
#include "framework/dialog.h"

#include <gtest/gtest.h>

namespace {

constexpr int kDialog = 200;
constexpr int kEdit = 201;
constexpr int kCheck = 202;

class ExchangeDialog : public fw::Dialog {
public:
    ExchangeDialog() : fw::Dialog(kDialog) {}
    std::wstring name = L"initial text";
    bool option = true;
    bool seenAtInit = false;
    bool destroyed = false;

protected:
    void DoDataExchange(fw::DataExchange& dx) override {
        dx.Text(kEdit, name);
        dx.Check(kCheck, option);
    }
    bool OnInit() override {
        seenAtInit = Handle() != nullptr;
        return fw::Dialog::OnInit();
    }
    void OnFinalMessage() override { destroyed = true; }
};

std::string ControlText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

TEST(Dialog, ModelessExchangesBothWays) {
    ExchangeDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    EXPECT_TRUE(dialog.seenAtInit);
    EXPECT_EQ(ControlText(dialog, kEdit), "initial text");
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), static_cast<UINT>(BST_CHECKED));

    SetDlgItemTextA(dialog, kEdit, "typed by the user");
    CheckDlgButton(dialog, kCheck, BST_UNCHECKED);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(dialog.name, L"typed by the user");
    EXPECT_FALSE(dialog.option);
    // A modeless dialog is destroyed when it ends.
    EXPECT_TRUE(dialog.destroyed);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(Dialog, CancelKeepsTheMembers) {
    ExchangeDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    SetDlgItemTextA(dialog, kEdit, "thrown away");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dialog.name, L"initial text");
    EXPECT_TRUE(dialog.option);
}

// Runs inside the modal loop: types into the open dialog and presses OK.
HWND g_modalSeen = nullptr;
void CALLBACK TypeAndConfirm(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", "Exchange");
    if (!dialog) return;
    KillTimer(nullptr, timer);
    g_modalSeen = dialog;
    SetDlgItemTextA(dialog, kEdit, "from the modal loop");
    CheckDlgButton(dialog, kCheck, BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(Dialog, ModalReturnsTheEndCodeWithTheSavedValues) {
    ExchangeDialog dialog;
    dialog.option = false;
    g_modalSeen = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &TypeAndConfirm);
    INT_PTR code = dialog.DoModal(nullptr);
    KillTimer(nullptr, timer);
    EXPECT_NE(g_modalSeen, nullptr);
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(dialog.name, L"from the modal loop");
    EXPECT_TRUE(dialog.option);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(Dialog, LoopGivesKeysToTheActiveModelessDialog) {
    fw::Application app;
    ExchangeDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    SetActiveWindow(dialog);
    app.PumpWaiting();
    EXPECT_EQ(app.ActiveModeless(), dialog.Handle());

    // Escape in the edit field becomes the dialog's Cancel command only
    // when the loop offers the key to the dialog.
    HWND edit = GetDlgItem(dialog, kEdit);
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    app.PumpWaiting();
    EXPECT_TRUE(dialog.destroyed);
    EXPECT_EQ(app.ActiveModeless(), nullptr);
}

}  // namespace
