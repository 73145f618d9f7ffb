#include "shell/scan_session.h"

#include "census/watch_texts.h"
#include "resources/resource.h"
#include "scanner/own_modules.h"
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
    if (IsRunning() || m_bInStage || !CreateSessionWindow()) return;
    m_checks.Begin(programFolder);
    m_provocation.reset(new CProvocation(GetModuleHandleW(nullptr), m_host.HostWindow()));
    m_nNextStage = 0;
    m_selfTestPhase = SELFTEST_NOT_STARTED;
    m_bWalkEnded = false;
    SetForegroundWindow(m_host.HostWindow());
    SetTimer(m_hWnd, kScanTimerId, kScanDelayMs, nullptr);
}

bool CScanSession::OnTimer(UINT_PTR id) {
    if (id == kProvocationTimerId) {
        OnProvocationTick();
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
    m_bProvoking = true;
    SetTimer(m_hWnd, kProvocationTimerId, kProvocationTickMs, nullptr);
}

// One stage per tick, so that the window handles its messages between
// them; then the self-test.
void CScanSession::OnProvocationTick() {
    if (m_bInStage) return;
    if (m_bClosing || !m_provocation) {
        KillTimer(m_hWnd, kProvocationTimerId);
        m_bProvoking = false;
        return;
    }
    if (m_nNextStage < kStageCount) {
        m_bInStage = true;
        int stage = m_nNextStage++;
        if (!m_provocation->RunStage(stage)) m_checks.NoteStagesNotRun(StageBit(stage));
        m_bInStage = false;
        return;
    }
    if (SelfTestProvoked()) EndProvocation();
}

bool CScanSession::SelfTestProvoked() {
    if (m_selfTestPhase == SELFTEST_NOT_STARTED) {
        m_checks.StartSelfTest();
        m_dwSelfTestStarted = GetTickCount();
        m_selfTestPhase = SELFTEST_WAITING;
        return false;
    }
    if (m_selfTestPhase == SELFTEST_WAITING) {
        bool ready = m_checks.SelfTestReady();
        // A host that never puts its hooks in place leaves the scan
        // unconfirmed, not unfinished.
        if (!ready && m_checks.SelfTestRunning() && GetTickCount() - m_dwSelfTestStarted < kSelfTestReadyMs)
            return false;
        m_selfTestPhase = SELFTEST_DONE;
        if (ready) {
            m_bInStage = true;
            m_provocation->RunStages(kSelfTestStages);
            m_bInStage = false;
        }
    }
    return true;
}

void CScanSession::EndProvocation() {
    KillTimer(m_hWnd, kProvocationTimerId);
    m_bProvoking = false;
    if (m_bWalkEnded) AfterWalk();
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
    if (m_bClosing) {
        if (m_hWnd) KillTimer(m_hWnd, kProvocationTimerId);
        m_bProvoking = false;
        m_checks.Cancel();
        return;
    }
    m_bWalkEnded = true;
    // A walk shorter than the provocation waits for it.
    if (!m_bProvoking) AfterWalk();
}

void CScanSession::AfterWalk() {
    m_bWalkEnded = false;
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
    result.SetStagesNotRun(m_checks.StagesNotRun());
    result.SetSelfTestProblem(m_checks.SelfTestProblemTextId());
    RebuildModuleTree();
    m_dialogHost.SetMessageText(ScanEndStatusText(result));
    m_host.ShowPage(PageAfterScan(result));
}

void CScanSession::EndChecks() {
    m_bClosing = true;
    m_bProvoking = false;
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
        KillTimer(m_hWnd, kProvocationTimerId);
        DestroyWindow(m_hWnd);
    }
    EndChecks();
}
