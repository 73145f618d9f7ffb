#include "main_frame.h"

#include "application.h"
#include "resource.h"
#include "splash_wnd.h"
#include "string_resource.h"

namespace {
// The splash stays up at least this long while the frame starts.
constexpr DWORD kSplashPauseMs = 1000;
}  // namespace

bool CMainFrame::Create(CVeyrithDoc* pDocument) {
    m_pDocument = pDocument;
    std::string title = fw::LoadResString(fw::kAppTitleStringId);
    return fw::Window::Create(nullptr, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
}

void CMainFrame::PrepareClass(WNDCLASSEXA& wc) const {
    HMODULE module = fw::ResourceModule();
    wc.hIcon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
}

bool CMainFrame::OnCreate(CREATESTRUCTA&) {
    fw::Wnd(Handle()).CenterOver(nullptr);
    CSplashWnd::ShowSplashScreen(Handle());
    Sleep(kSplashPauseMs);
    return true;
}

void CMainFrame::OnDestroy() {
    fw::Application* app = fw::Application::Current();
    if (app && app->MainWindow() == Handle()) {
        app->SetMainWindow(nullptr);
        PostQuitMessage(0);
    }
}

bool CMainFrame::OnCommand(UINT id, UINT, HWND) {
    // Application-wide commands (About) are handled by the application.
    fw::Application* app = fw::Application::Current();
    return app && app->OnCommand(id);
}

LRESULT CMainFrame::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = kMinTrackWidth;
        info->ptMinTrackSize.y = kMinTrackHeight;
        return DefaultProc(msg, wParam, lParam);
    }
    return fw::Window::OnMessage(msg, wParam, lParam);
}
