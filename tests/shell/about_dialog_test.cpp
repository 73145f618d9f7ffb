// The about box: its shape, and a real click on its picture, reached
// through the frame's About command.
#include "resources/resource.h"
#include "shell/about_dlg.h"
#include "shell/splash_wnd.h"
#include "fake_desktop.h"
#include "shell_windows.h"

#include <gtest/gtest.h>

namespace {

struct AboutSeen {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    RECT expected = {};     // 264 x 122 dialog units in pixels
    RECT client = {};
    LONG style = 0;
    LONG pictureStyle = 0;
    bool pictureHasBitmap = false;
};
AboutSeen g_seen;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

// Runs inside the about box's modal loop: notes what it shows, then clicks
// the middle of its picture with the real mouse.
void CALLBACK ClickPicture(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    g_seen.dialog = dialog;
    g_seen.owner = GetWindow(dialog, GW_OWNER);
    g_seen.expected = {0, 0, 264, 122};
    MapDialogRect(dialog, &g_seen.expected);
    GetClientRect(dialog, &g_seen.client);
    g_seen.style = GetWindowLongA(dialog, GWL_STYLE);
    HWND picture = GetDlgItem(dialog, IDC_ABOUT_PICTURE);
    g_seen.pictureStyle = GetWindowLongA(picture, GWL_STYLE);
    g_seen.pictureHasBitmap = SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;

    RECT r = {};
    GetWindowRect(picture, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// Ends a box that the click did not close, so a failure cannot hang.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (g_seen.dialog) EndDialog(g_seen.dialog, IDABORT);
}

TEST(AboutBox, ClickOnThePictureClosesItAsOk) {
    g_seen = AboutSeen();
    UINT_PTR click = SetTimer(nullptr, 0, 100, &ClickPicture);
    UINT_PTR giveUp = SetTimer(nullptr, 0, 5000, &GiveUp);
    CAboutDlg dialog;
    INT_PTR code = dialog.DoModal(nullptr);
    KillTimer(nullptr, click);
    KillTimer(nullptr, giveUp);

    ASSERT_NE(g_seen.dialog, nullptr);
    EXPECT_EQ(code, IDOK);
    EXPECT_FALSE(IsWindow(g_seen.dialog));
    // A borderless popup without caption, 264 x 122 dialog units.
    EXPECT_TRUE(g_seen.style & WS_POPUP);
    EXPECT_FALSE(g_seen.style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME));
    EXPECT_EQ(g_seen.client.right, g_seen.expected.right);
    EXPECT_EQ(g_seen.client.bottom, g_seen.expected.bottom);
    EXPECT_EQ(g_seen.pictureStyle & SS_TYPEMASK, SS_BITMAP);
    EXPECT_TRUE(g_seen.pictureStyle & SS_NOTIFY);
    EXPECT_TRUE(g_seen.pictureHasBitmap);
}

TEST(AboutBox, AboutCommandOfTheFrameRunsIt) {
    FakeDesktop desktop;
    CVeyrithApp app(desktop);
    CVeyrithDoc document;
    RecordingFrame frame(desktop);
    CSplashWnd::EnableSplashScreen(false);
    ASSERT_TRUE(frame.Create(&document));
    app.SetMainWindow(frame.Handle());
    ShowWindow(frame.Handle(), SW_SHOW);

    g_seen = AboutSeen();
    UINT_PTR click = SetTimer(nullptr, 0, 100, &ClickPicture);
    UINT_PTR giveUp = SetTimer(nullptr, 0, 5000, &GiveUp);
    PostMessageA(frame.Handle(), WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
    app.PumpWaiting();
    KillTimer(nullptr, click);
    KillTimer(nullptr, giveUp);

    ASSERT_NE(g_seen.dialog, nullptr);
    EXPECT_FALSE(IsWindow(g_seen.dialog));
    EXPECT_EQ(g_seen.owner, frame.Handle());
    // The click went to the box, not through to the frame.
    EXPECT_TRUE(frame.input.empty());
}

}  // namespace
