#include "shell/splash_wnd.h"

#include "framework/application.h"
#include "resources/resource.h"
#include "common/string_resource.h"

namespace {
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseAfterMs = 1000;
}  // namespace

bool CSplashWnd::c_bShowSplashWnd = false;
CSplashWnd* CSplashWnd::c_pSplashWnd = nullptr;

void CSplashWnd::EnableSplashScreen(bool enable) { c_bShowSplashWnd = enable; }

void CSplashWnd::ShowSplashScreen(HWND parent) {
    if (!c_bShowSplashWnd || c_pSplashWnd) return;
    c_pSplashWnd = new CSplashWnd;
    if (!c_pSplashWnd->Create(parent)) {
        // A window that was never created cannot delete itself.
        if (c_pSplashWnd && !c_pSplashWnd->Handle()) delete c_pSplashWnd;
        return;
    }
    UpdateWindow(c_pSplashWnd->Handle());
}

bool CSplashWnd::PreTranslateAppMessage(const MSG& msg) {
    if (!c_pSplashWnd) return false;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        c_pSplashWnd->HideSplashScreen();
        return true;
    default:
        return false;
    }
}

CSplashWnd::~CSplashWnd() {
    if (c_pSplashWnd == this) c_pSplashWnd = nullptr;
}

void CSplashWnd::PrepareClass(WNDCLASSEXW& wc) const {
    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    wc.hbrBackground = nullptr;
}

bool CSplashWnd::Create(HWND parent) {
    m_hBitmap = CBitmap(LoadBitmapW(ResourceModule(), MAKEINTRESOURCEW(IDB_SPLASH)));
    if (!m_hBitmap) return false;
    BITMAP info = {};
    GetObjectW(m_hBitmap.Get(), sizeof(info), &info);
    m_nWidth = info.bmWidth;
    m_nHeight = info.bmHeight;
    return fw::Window::Create(parent, std::wstring(), WS_POPUP | WS_VISIBLE, 0, 0, 0, m_nWidth,
                              m_nHeight);
}

bool CSplashWnd::OnCreate(CREATESTRUCTW&) {
    fw::Wnd self(Handle());
    self.CenterOver(self.Owner());
    self.SetTimer(kCloseTimer, kCloseAfterMs);
    return true;
}

bool CSplashWnd::OnPaint(HDC dc) {
    CMemoryDC memoryDc(CreateCompatibleDC(dc));
    HDC memory = memoryDc.Get();
    HGDIOBJ old = SelectObject(memory, m_hBitmap.Get());
    BitBlt(dc, 0, 0, m_nWidth, m_nHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    return true;
}

bool CSplashWnd::OnTimer(UINT_PTR) {
    HideSplashScreen();
    return true;
}

void CSplashWnd::HideSplashScreen() {
    DestroyWindow(Handle());
    fw::Application* app = fw::Application::Current();
    if (app && app->MainWindow()) UpdateWindow(app->MainWindow());
}
