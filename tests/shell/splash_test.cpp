// The splash window, driven inside this process with the real main frame
// and the application's own message loop.
#include "shell/splash_wnd.h"
#include "fake_desktop.h"
#include "shell_windows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool SplashGone() { return CSplashWnd::Current() == nullptr; }

bool Received(const RecordingFrame& frame, UINT msg) {
    return std::find(frame.input.begin(), frame.input.end(), msg) != frame.input.end();
}

POINT Centre(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// One frame serves every test: its creation alone waits a second.
class Splash : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        desktop = new FakeDesktop;
        app = new CVeyrithApp(*desktop);
        document = new CVeyrithDoc;
        frame = new RecordingFrame(*desktop);
        CSplashWnd::EnableSplashScreen(false);
        frame->Create(document);
        app->SetMainWindow(frame->Handle());
        ShowWindow(frame->Handle(), SW_SHOW);
    }
    static void TearDownTestSuite() {
        delete frame;
        delete document;
        delete app;
    }
    void SetUp() override {
        ASSERT_TRUE(IsWindow(frame->Handle()));
        app->PumpWaiting();
        frame->input.clear();
    }
    void TearDown() override {
        if (CSplashWnd::Current()) CSplashWnd::Current()->HideSplashScreen();
        CSplashWnd::EnableSplashScreen(false);
    }

    HWND ShowSplash() {
        CSplashWnd::EnableSplashScreen(true);
        CSplashWnd::ShowSplashScreen(frame->Handle());
        return CSplashWnd::Current() ? CSplashWnd::Current()->Handle() : nullptr;
    }

    static FakeDesktop* desktop;
    static CVeyrithApp* app;
    static CVeyrithDoc* document;
    static RecordingFrame* frame;
};

FakeDesktop* Splash::desktop = nullptr;
CVeyrithApp* Splash::app = nullptr;
CVeyrithDoc* Splash::document = nullptr;
RecordingFrame* Splash::frame = nullptr;

TEST_F(Splash, FrameCreationShowsItAndItsTimerIsDueAtOnce) {
    CSplashWnd::EnableSplashScreen(true);
    RecordingFrame second(*desktop);
    DWORD start = GetTickCount();
    ASSERT_TRUE(second.Create(document));
    // Creation waits a second with the splash on screen.
    EXPECT_GE(GetTickCount() - start, 950u);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    HWND splash = CSplashWnd::Current()->Handle();
    EXPECT_EQ(GetWindow(splash, GW_OWNER), second.Handle());
    // The timer started before that wait, so the loop's first turn hides it.
    EXPECT_TRUE(PumpUntil(*app, 900, SplashGone));
    EXPECT_FALSE(IsWindow(splash));
}

TEST_F(Splash, ShowsThePictureOverItsOwnerAndClosesAfterASecond) {
    CSplashWnd::ShowSplashScreen(frame->Handle());
    EXPECT_EQ(CSplashWnd::Current(), nullptr) << "shown although disabled";
    HWND splash = ShowSplash();
    ASSERT_NE(splash, nullptr);
    DWORD shownAt = GetTickCount();
    RECT rect = {};
    GetWindowRect(splash, &rect);
    EXPECT_EQ(rect.right - rect.left, 396);
    EXPECT_EQ(rect.bottom - rect.top, 198);
    LONG style = GetWindowLongA(splash, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & (WS_BORDER | WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(GetWindow(splash, GW_OWNER), frame->Handle());
    POINT splashCentre = Centre(splash), frameCentre = Centre(frame->Handle());
    EXPECT_NEAR(splashCentre.x, frameCentre.x, 1);
    EXPECT_NEAR(splashCentre.y, frameCentre.y, 1);

    // Only one splash at a time.
    CSplashWnd* current = CSplashWnd::Current();
    CSplashWnd::ShowSplashScreen(frame->Handle());
    EXPECT_EQ(CSplashWnd::Current(), current);

    EXPECT_FALSE(PumpUntil(*app, 500, SplashGone));
    EXPECT_TRUE(PumpUntil(*app, 5000, SplashGone));
    EXPECT_GE(GetTickCount() - shownAt, 950u);
    EXPECT_FALSE(IsWindow(splash));
}

TEST_F(Splash, KeyPressClosesItAndIsNotDelivered) {
    ASSERT_NE(ShowSplash(), nullptr);
    SetForegroundWindow(frame->Handle());
    SetFocus(frame->Handle());
    keybd_event('Q', 0, 0, 0);
    keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(PumpUntil(*app, 3000, [&] { return SplashGone() && Received(*frame, WM_KEYUP); }));
    EXPECT_FALSE(Received(*frame, WM_KEYDOWN));
    EXPECT_FALSE(Received(*frame, WM_CHAR));

    // Without a splash the same key reaches the frame->
    frame->input.clear();
    keybd_event('Q', 0, 0, 0);
    keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(PumpUntil(*app, 3000, [&] { return Received(*frame, WM_KEYUP); }));
    EXPECT_TRUE(Received(*frame, WM_KEYDOWN));
}

TEST_F(Splash, PressesCloseItAndAreSwallowed) {
    const UINT presses[] = {WM_SYSKEYDOWN,   WM_LBUTTONDOWN,   WM_RBUTTONDOWN,  WM_MBUTTONDOWN,
                            WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN};
    for (UINT press : presses) {
        SCOPED_TRACE(press);
        ASSERT_NE(ShowSplash(), nullptr);
        PostMessageA(frame->Handle(), press, 0, 0);
        app->PumpWaiting();
        EXPECT_TRUE(SplashGone());
        EXPECT_FALSE(Received(*frame, press));
    }
    // Releases and characters neither close it nor are taken.
    ASSERT_NE(ShowSplash(), nullptr);
    PostMessageA(frame->Handle(), WM_KEYUP, 'Q', 0);
    PostMessageA(frame->Handle(), WM_CHAR, 'q', 0);
    app->PumpWaiting();
    EXPECT_FALSE(SplashGone());
    EXPECT_TRUE(Received(*frame, WM_KEYUP));
    EXPECT_TRUE(Received(*frame, WM_CHAR));
}

}  // namespace
