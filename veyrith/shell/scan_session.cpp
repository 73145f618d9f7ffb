#include "shell/scan_session.h"

#include <algorithm>

#include "resources/resource.h"
#include "views/info_pages.h"

void CScanSession::Start(const std::wstring& programFolder) {
    if (IsRunning()) return;
    // The self-test's host comes up meanwhile; its hooks are provoked when
    // they are in place.
    m_checks.Begin(programFolder);
    SetForegroundWindow(m_host.HostWindow());
    ProvokeKeyboardHooks();
    SetTimer(m_host.HostWindow(), kScanTimerId, kScanDelayMs, nullptr);
}

void CScanSession::ProvokeKeyboardHooks() {
    keybd_event(kProvokeKey, 0, 0, 0);
    keybd_event(kProvokeKey, 0, KEYEVENTF_KEYUP, 0);
}

bool CScanSession::OnTimer(UINT_PTR id) {
    if (id == kSelfTestTimerId) {
        OnSelfTestTick();
        return true;
    }
    // Only the tick that Start armed starts a scan; any other timer of the
    // window gets the default handling.
    if (id != kScanTimerId) return false;
    KillTimer(m_host.HostWindow(), id);
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
    m_host.ClearResults();
    if (!m_dialog.Start(&m_dialogHost)) {
        OnNotStarted();
        return;
    }
    SetTimer(m_host.HostWindow(), kSelfTestTimerId, kSelfTestPollMs, nullptr);
}

void CScanSession::OnSelfTestTick() {
    // The get-message hook loads with the walk's own messages; the keyboard
    // hook needs a key while the walk runs.
    if (!m_dialog.IsRunning()) {
        KillTimer(m_host.HostWindow(), kSelfTestTimerId);
        return;
    }
    if (!m_checks.SelfTestReady()) return;
    KillTimer(m_host.HostWindow(), kSelfTestTimerId);
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

bool CScanSession::RebuildModuleTree() { return m_host.ShowModules(TreeItems(), m_checks.Modules64()); }

ModuleTreeItems CScanSession::TreeItems() const {
    ModuleTreeItems items = CurrentModuleTreeItems();
    for (const TakenModule& module : m_checks.Modules64()) {
        auto same = [&](const std::wstring& name) { return !lstrcmpiW(name.c_str(), module.module.c_str()); };
        if (std::none_of(items.names.begin(), items.names.end(), same)) items.names64.push_back(module.module);
    }
    return items;
}

void CScanSession::OnWalkEnded() {
    KillTimer(m_host.HostWindow(), kSelfTestTimerId);
    if (m_bClosing) {
        m_checks.Cancel();
        return;
    }
    m_bAwaitingProbe = m_checks.EndWalk(m_host.HostWindow(), kProbeDoneMessage);
    if (!m_bAwaitingProbe) Finish();
}

void CScanSession::OnProbeDone() {
    if (!m_bAwaitingProbe || !m_checks.TakeProbeResult()) return;
    m_bAwaitingProbe = false;
    Finish();
}

void CScanSession::Finish() {
    bool found = RebuildModuleTree();
    m_host.ShowStatus(m_checks.StatusTextId());
    m_host.ShowPage(PageAfterScan(found, m_checks.Confirmed()));
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
    KillTimer(m_host.HostWindow(), kScanTimerId);
    KillTimer(m_host.HostWindow(), kSelfTestTimerId);
    EndChecks();
}
