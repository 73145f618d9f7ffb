#include "shell/scan_session.h"

#include "census/watch_texts.h"
#include "resources/resource.h"
#include "scanner/own_modules.h"
#include "scanner/provocation.h"
#include "views/info_pages.h"

namespace {

const wchar_t kSessionWindowClass[] = L"VeyrithScanSession";

}  // namespace

CScanSession::~CScanSession() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

// A plain message-only window: it never shows, takes no input and is no
// child of the frame; it only carries the scan's timers and the
// companion's message to the session.
bool CScanSession::CreateSessionWindow() {
    if (m_hWnd) return true;
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = &CScanSession::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kSessionWindowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    m_hWnd = CreateWindowExW(0, kSessionWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    return m_hWnd != nullptr;
}

LRESULT CALLBACK CScanSession::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* session = reinterpret_cast<CScanSession*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (session && msg == WM_TIMER && session->OnTimer(wParam)) return 0;
    if (session && msg == kProbeDoneMessage) {
        session->OnProbeDone();
        return 0;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (session && session->m_hWnd == hwnd) session->m_hWnd = nullptr;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void CScanSession::Start(const std::wstring& programFolder) {
    if (IsRunning() || !CreateSessionWindow()) return;
    // The self-test's host comes up meanwhile; its hooks are provoked when
    // they are in place.
    m_checks.Begin(programFolder);
    SetForegroundWindow(m_host.HostWindow());
    ProvokeKeyboardHooks();
    SetTimer(m_hWnd, kScanTimerId, kScanDelayMs, nullptr);
}

bool CScanSession::OnTimer(UINT_PTR id) {
    if (id == kSelfTestTimerId) {
        OnSelfTestTick();
        return true;
    }
    // Only the tick that Start armed starts a scan; any other timer of the
    // window gets the default handling.
    if (id != kScanTimerId) return false;
    KillTimer(m_hWnd, id);
    OnStartTick();
    return true;
}

void CScanSession::OnStartTick() {
    // A scan still runs: its dialog ends it and sets the status. Its window
    // exists until the end steps have run, so a tick dispatched by a loop
    // nested in them would otherwise put "in progress" back after
    // "Scanning complete", with nothing left to undo it.
    if (IsRunning()) return;
    m_host.ShowStatus(IDS_SCANNING_IN_PROGRESS);
    m_host.Result().Clear();
    m_host.ClearResults();
    if (!m_dialog.Start(&m_dialogHost, [this] { OnWalkEnded(); })) {
        OnNotStarted();
        return;
    }
    SetTimer(m_hWnd, kSelfTestTimerId, kSelfTestPollMs, nullptr);
}

void CScanSession::OnSelfTestTick() {
    // The get-message hook loads with the walk's own messages; the keyboard
    // hook needs a key while the walk runs.
    if (!m_dialog.IsRunning()) {
        KillTimer(m_hWnd, kSelfTestTimerId);
        return;
    }
    if (!m_checks.SelfTestReady()) return;
    KillTimer(m_hWnd, kSelfTestTimerId);
    ProvokeKeyboardHooks();
}

void CScanSession::OnNotStarted() {
    // Without its dialog nothing would ever end this scan: the window goes
    // back to how it is before any scan (the Scan command is enabled again,
    // since no dialog runs) and the user is told.
    m_checks.Cancel();
    m_host.ShowStatus(IDS_IDLE_MESSAGE);
    m_host.ShowStartItem();
    m_host.Desktop().ShowMessage(IDS_SCAN_NOT_STARTED, MB_OK | MB_ICONSTOP);
}

bool CScanSession::RebuildModuleTree() {
    CScanResult& result = m_host.Result();
    result.SetFound(CurrentDetectedModules(), m_checks.Modules64());
    m_host.ShowResult();
    return !result.Empty();
}

void CScanSession::OnWalkEnded() {
    if (m_hWnd) KillTimer(m_hWnd, kSelfTestTimerId);
    if (m_bClosing) {
        m_checks.Cancel();
        return;
    }
    m_bAwaitingProbe = m_checks.EndWalk(m_hWnd, kProbeDoneMessage);
    if (!m_bAwaitingProbe) Finish();
}

void CScanSession::OnProbeDone() {
    if (!m_bAwaitingProbe || !m_checks.TakeProbeResult()) return;
    m_bAwaitingProbe = false;
    Finish();
}

void CScanSession::Finish() {
    CScanResult& result = m_host.Result();
    result.SetVerdict(m_checks.Confirmed(), m_checks.StatusTextId());
    RebuildModuleTree();
    m_dialogHost.SetMessageText(ScanEndStatusText(result));
    m_host.ShowPage(PageAfterScan(result));
}

void CScanSession::EndChecks() {
    m_bClosing = true;
    m_bAwaitingProbe = false;
    m_checks.Cancel();
}

void CScanSession::Stop() {
    EndChecks();
    m_dialog.Stop();
}

void CScanSession::EndWithWindow() {
    if (m_hWnd) {
        KillTimer(m_hWnd, kScanTimerId);
        KillTimer(m_hWnd, kSelfTestTimerId);
        DestroyWindow(m_hWnd);
    }
    EndChecks();
}
