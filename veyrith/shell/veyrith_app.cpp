#include "shell/veyrith_app.h"

#include "framework/startup_switches.h"
#include "common/executable_folder.h"
#include "common/product.h"
#include "resources/resource.h"
#include "shell/running_instance.h"
#include "shell/splash_wnd.h"

namespace {

// How long a start waits for the window of an instance that has just taken
// the mutex.
constexpr DWORD kFirstInstanceWaitMs = 1500;

bool ReadSystemVersion(OSVERSIONINFOA& version) {
    return GetVersionExA(&version) != 0;
}

}  // namespace

CVeyrithApp::CVeyrithApp(CDesktop& desktop) : m_desktop(desktop), m_readVersion(&ReadSystemVersion) {}

// The single-instance mutex is held until the process ends: the system
// releases it then, so a second start is refused until the very end.
CVeyrithApp::~CVeyrithApp() { m_pMainFrame.reset(); }

bool CVeyrithApp::IsSupportedWindows(const OSVERSIONINFOA& version) {
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return false;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 5) return false;
    return true;
}

bool CVeyrithApp::CheckWindowsVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    m_readVersion(version);
    if (IsSupportedWindows(version)) return true;
    m_desktop.ShowMessage(IDS_REQUIRES_WIN2000, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CVeyrithApp::InitInstance() {
    if (!CheckWindowsVersion()) return false;

    // One instance per session: a second start ends quietly, but only when
    // the first is really there. Another program may hold the name.
    m_hInstanceMutex = CHandle(CreateMutexW(nullptr, TRUE, Title().c_str()));
    bool nameTaken = !m_hInstanceMutex || GetLastError() == ERROR_ALREADY_EXISTS;
    if (nameTaken && IsOwnInstanceRunning(kFirstInstanceWaitMs)) return false;

    EnableControlContainer();
    fw::CommandLineInfo commandLine = fw::ParseCommandLine(fw::SkipProgramName(GetCommandLineW()));
    CSplashWnd::EnableSplashScreen(commandLine.bShowSplash);
    SetRegistryKey(kCompanyNameW);

    if (!CreateMainFrame()) return false;
    ShowWindow(MainWindow(), SW_SHOWNORMAL);
    UpdateWindow(MainWindow());
    return true;
}

bool CVeyrithApp::CreateMainFrame() {
    m_pDocument = std::make_unique<CVeyrithDoc>();
    if (!m_pDocument->OnNewDocument()) return false;
    m_pMainFrame = std::make_unique<CMainFrame>(m_desktop, ExecutableFolder());
    if (!m_pMainFrame->Create(m_pDocument.get())) return false;
    SetMainWindow(m_pMainFrame->Handle());
    return true;
}

int CVeyrithApp::ExitInstance() {
    m_pMainFrame.reset();
    m_pDocument.reset();
    return fw::Application::ExitInstance();
}

bool CVeyrithApp::PreFilter(MSG& msg) { return CSplashWnd::PreTranslateAppMessage(msg); }
