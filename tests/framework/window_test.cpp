// The window base: binding between object and window, exceptions in
// handlers, creation failure and self-deleting windows.
#include "framework/window.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <stdexcept>
#include <vector>

namespace {

constexpr UINT kThrowMessage = WM_APP + 1;
constexpr UINT kAnswerMessage = WM_APP + 2;

class RecordingWindow : public fw::Window {
public:
    std::vector<UINT> messages;
    int finalMessages = 0;
    bool refuseCreate = false;

    bool CreateTopLevel() {
        return Create(nullptr, L"recording", WS_OVERLAPPEDWINDOW, 0, 10, 10, 200, 150);
    }

protected:
    const wchar_t* ClassName() const override { return L"FrameworkTestRecording"; }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(msg);
        if (msg == kThrowMessage) throw std::runtime_error("handler failed");
        if (msg == kAnswerMessage) return 42;
        return fw::Window::OnMessage(msg, wParam, lParam);
    }
    bool OnCreate(CREATESTRUCTW&) override { return !refuseCreate; }
    void OnFinalMessage() override { ++finalMessages; }
};

bool g_selfDeleted = false;

class SelfDeletingWindow : public fw::Window {
public:
    ~SelfDeletingWindow() override { g_selfDeleted = true; }

protected:
    const wchar_t* ClassName() const override { return L"FrameworkTestSelfDeleting"; }
    void OnFinalMessage() override { delete this; }
};

TEST(Window, BindsFromNcCreateToNcDestroy) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateTopLevel());
    HWND hwnd = window.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(fw::Window::FromHandle(hwnd), &window);
    // A top-level window gets WM_GETMINMAXINFO before WM_NCCREATE; the
    // object only sees messages from WM_NCCREATE on.
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(SendMessageA(hwnd, kAnswerMessage, 0, 0), 42);

    DestroyWindow(hwnd);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_EQ(window.messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(fw::Window::FromHandle(hwnd), nullptr);
}

LRESULT CALLBACK PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

TEST(Window, IsTheWndOfItsOwnWindow) {
    RecordingWindow window;
    const fw::Wnd& wnd = window;
    EXPECT_FALSE(wnd.IsWindow());
    ASSERT_TRUE(window.CreateTopLevel());
    EXPECT_EQ(wnd.Handle(), window.Handle());
    EXPECT_TRUE(wnd.IsWindow());
    EXPECT_TRUE(window.SetText(L"renamed"));
    EXPECT_EQ(window.Text(), L"renamed");
    EXPECT_TRUE(window.Destroy());
    EXPECT_FALSE(wnd.IsWindow());
    EXPECT_EQ(window.finalMessages, 1);
}

TEST(Window, IsAUnicodeWindowWhoseTitleRoundTrips) {
    // Cyrillic, Greek and a symbol: no single code page holds all three.
    const std::wstring title = L"Fenster \x0416\x03A9 \x263A";
    RecordingWindow window;
    ASSERT_TRUE(window.Create(nullptr, title, WS_OVERLAPPEDWINDOW, 0, 10, 10, 200, 150));
    EXPECT_TRUE(IsWindowUnicode(window.Handle()));
    EXPECT_EQ(window.Text(), title);
    const std::wstring renamed = L"\x05D0\x0416 renamed";
    EXPECT_TRUE(window.SetText(renamed));
    EXPECT_EQ(window.Text(), renamed);
    wchar_t direct[64] = {};
    GetWindowTextW(window.Handle(), direct, 64);
    EXPECT_EQ(std::wstring(direct), renamed);
}

TEST(Window, HeightIsTheOuterHeightWhileShown) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateTopLevel());
    EXPECT_EQ(window.Height(), 0);
    window.Show(SW_SHOWNOACTIVATE);
    RECT outer = window.WindowRect();
    EXPECT_EQ(window.Height(), outer.bottom - outer.top);
    EXPECT_GT(window.Height(), 0);
    window.Show(SW_HIDE);
    EXPECT_EQ(window.Height(), 0);
}

TEST(Window, StillFoundAndServedWhenSubclassed) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateTopLevel());
    ASSERT_TRUE(SetWindowSubclass(window.Handle(), PassOn, 1, 0));
    EXPECT_EQ(fw::Window::FromHandle(window.Handle()), &window);
    EXPECT_EQ(SendMessageA(window.Handle(), kAnswerMessage, 0, 0), 42);
    RemoveWindowSubclass(window.Handle(), PassOn, 1);
    // A window of another class is no object of ours.
    EXPECT_EQ(fw::Window::FromHandle(GetDesktopWindow()), nullptr);
}

TEST(Window, ExceptionInHandlerStaysInside) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateTopLevel());
    SendMessageA(window.Handle(), kThrowMessage, 0, 0);
    // The window goes on working after the failed handler.
    EXPECT_EQ(SendMessageA(window.Handle(), kAnswerMessage, 0, 0), 42);
    EXPECT_EQ(fw::Window::FromHandle(window.Handle()), &window);
}

TEST(Window, RefusedCreationLeavesNoWindowBound) {
    RecordingWindow window;
    window.refuseCreate = true;
    EXPECT_FALSE(window.CreateTopLevel());
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(window.finalMessages, 1);
    // The same object can be created again once it agrees.
    window.refuseCreate = false;
    EXPECT_TRUE(window.CreateTopLevel());
}

TEST(Window, SelfDeletingWindowGoesWithItsWindow) {
    g_selfDeleted = false;
    auto* window = new SelfDeletingWindow;
    ASSERT_TRUE(window->Create(nullptr, L"self", WS_POPUP, 0, 0, 0, 50, 50));
    DestroyWindow(window->Handle());
    EXPECT_TRUE(g_selfDeleted);
}

}  // namespace
