// The web browser host in real windows under the test display: creation,
// sizing, navigation and teardown must neither crash nor hang, whether or
// not the system can create the control.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "views/info_pages.h"
#include "resources/resource.h"
#include "test_support.h"
#include "views/web_browser2.h"
#include "framework/web_browser_host.h"

namespace {

const char kParentClass[] = "VeyrithBrowserHostTestParent";

HWND CreateParentWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kParentClass;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        registered = RegisterClassA(&wc) != 0;
    }
    // Hidden: under Xvfb without a window manager, destroying a shown
    // top-level window makes the display driver wait two seconds.
    return CreateWindowExA(0, kParentClass, "host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10,
                           10, 500, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The control's window rectangle in the parent's client coordinates.
RECT RectInParent(HWND window, HWND parent) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

MSG KeyDown(HWND window, WPARAM key) {
    MSG msg = {};
    msg.hwnd = window;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    return msg;
}

class BrowserHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        m_parent = CreateParentWindow();
        ASSERT_NE(nullptr, m_parent);
    }
    void TearDown() override {
        if (m_parent && IsWindow(m_parent)) DestroyWindow(m_parent);
        testing_support::PumpMessages(50);
        OleUninitialize();
    }
    HWND m_parent = nullptr;
};

}  // namespace

TEST(BrowserHostWithoutControl, EveryCallIsHarmless) {
    fw::WebBrowserHost host;
    MSG msg = KeyDown(nullptr, VK_TAB);
    EXPECT_FALSE(host.TranslateAccelerator(&msg));
    EXPECT_FALSE(host.TranslateAccelerator(nullptr));
    EXPECT_FALSE(host.Navigate(L"res://nowhere/HTML_INITIAL_INFO_TEXT"));
    EXPECT_FALSE(host.HasControl());
    EXPECT_EQ(nullptr, host.Window());
    EXPECT_EQ(nullptr, host.LocationUrl());
    EXPECT_FALSE(host.ContainsFocus());
    host.Move(RECT{0, 0, 10, 10});
    host.Destroy();
    host.Destroy();

    EXPECT_FALSE(host.Create(nullptr, RECT{0, 0, 10, 10}));
    EXPECT_FALSE(host.HasControl());

    CWebBrowser2 browser;
    EXPECT_FALSE(browser.Navigate(L"res://nowhere/HTML_SPY_NOT_DETECTED"));
    EXPECT_EQ(nullptr, browser.GetSafeHwnd());
    EXPECT_EQ(L"", browser.GetLocationURL());
    EXPECT_FALSE(browser.PreTranslateMessage(&msg));
}

// A thread in the multithreaded apartment cannot host the control in place:
// creation fails, and the host stays a no-op in a real window.
TEST(BrowserHostWithoutControl, FailedCreationInARealWindowLeavesANoOp) {
    bool created = true;
    bool navigated = true;
    bool translated = true;
    bool parentAlive = false;
    std::thread worker([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
        HWND parent = CreateParentWindow();
        fw::WebBrowserHost host;
        created = host.Create(parent, RECT{0, 0, 200, 100});
        host.Move(RECT{-2, -2, 300, 150});
        navigated = host.Navigate(L"res://nowhere/HTML_INITIAL_INFO_TEXT");
        MSG msg = KeyDown(parent, VK_TAB);
        translated = host.TranslateAccelerator(&msg);
        parentAlive = IsWindow(parent) != FALSE;
        DestroyWindow(parent);
        CoUninitialize();
    });
    worker.join();
    EXPECT_FALSE(created);
    EXPECT_FALSE(navigated);
    EXPECT_FALSE(translated);
    EXPECT_TRUE(parentAlive);
}

TEST_F(BrowserHostTest, CreateMoveNavigateAndDestroyInARealWindow) {
    fw::WebBrowserHost host;
    bool created = host.Create(m_parent, RECT{0, 0, 200, 100});
    std::printf("web browser control %s\n", created ? "created" : "not available");
    EXPECT_EQ(created, host.HasControl());
    HWND control = host.Window();
    if (created) {
        ASSERT_NE(nullptr, control);
        EXPECT_TRUE(IsChild(m_parent, control));
    }

    host.Move(RECT{-2, -2, 300, 150});
    if (created) {
        RECT rect = RectInParent(control, m_parent);
        EXPECT_EQ(-2, rect.left);
        EXPECT_EQ(-2, rect.top);
        EXPECT_EQ(300, rect.right);
        EXPECT_EQ(150, rect.bottom);
    }

    std::wstring wide;
    ASSERT_TRUE(InfoPageUrl(kInitialInfoPage, &wide));
    EXPECT_EQ(created, host.Navigate(wide.c_str()));
    testing_support::PumpMessages(300);
    if (created) {
        BSTR location = host.LocationUrl();
        ASSERT_NE(nullptr, location);
        EXPECT_EQ(wide, std::wstring(location));
        SysFreeString(location);
    }

    // Keys for another window never reach the control.
    SetFocus(m_parent);
    MSG msg = KeyDown(m_parent, VK_TAB);
    EXPECT_FALSE(host.TranslateAccelerator(&msg));

    host.Destroy();
    EXPECT_FALSE(host.HasControl());
    if (control) {
        EXPECT_FALSE(IsWindow(control)) << "closing the control removes its window";
    }
    host.Destroy();
    EXPECT_TRUE(IsWindow(m_parent));
}

TEST_F(BrowserHostTest, DestroyingTheParentClosesTheControl) {
    fw::WebBrowserHost host;
    bool created = host.Create(m_parent, RECT{0, 0, 200, 100});
    HWND control = host.Window();
    EXPECT_EQ(created, control != nullptr);
    DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_FALSE(host.HasControl());
    EXPECT_EQ(nullptr, host.Window());
    MSG msg = KeyDown(nullptr, VK_TAB);
    EXPECT_FALSE(host.TranslateAccelerator(&msg));
    EXPECT_FALSE(host.Navigate(L"res://nowhere/HTML_INITIAL_INFO_TEXT"));
}

// The info pane as it will be built: the form resource as a child window,
// the browser over it with its border outside, a page loaded by name.
TEST_F(BrowserHostTest, InfoFormShowsAPageAndGoesAwayWithItsParent) {
    HWND form = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_INFO_VIEW),
                                   m_parent, nullptr, 0);
    ASSERT_NE(nullptr, form);
    EXPECT_EQ(DWORD(WS_CHILD), DWORD(GetWindowLongA(form, GWL_STYLE) & (WS_CHILD | WS_POPUP)));
    MoveWindow(form, 0, 0, 400, 200, TRUE);
    ShowWindow(form, SW_SHOW);

    CWebBrowser2 browser;
    RECT client;
    GetClientRect(form, &client);
    bool created = browser.Create(form, InfoBrowserRect(client.right, client.bottom));
    ShowInfoPage(browser, kScanningCompletePage);
    testing_support::PumpMessages(300);
    if (created) {
        RECT rect = RectInParent(browser.GetSafeHwnd(), form);
        EXPECT_EQ(-2, rect.left);
        EXPECT_EQ(client.right, rect.right);
        std::wstring url;
        ASSERT_TRUE(InfoPageUrl(kScanningCompletePage, &url));
        EXPECT_EQ(url, browser.GetLocationURL());
    }
    DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_EQ(nullptr, browser.GetSafeHwnd());
}
