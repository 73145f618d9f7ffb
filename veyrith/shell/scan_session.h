// One scan of the main window, from the Scan command to the result page:
// the start tick, the progress dialog's walk with the stages of the
// provocation running meanwhile, one per tick, then the self-test, the
// 64-bit companion (CScanChecks), and the end (the
// scan's result written, the views asked to show it, the status text, the
// page). The session reaches its window only through CScanSessionHost; its
// timers and the companion's message go to a message-only window of its
// own, and the progress dialog tells it when the walk has ended, so the
// window relays none of its steps.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "census/scan_result.h"
#include "scanner/provocation.h"
#include "framework/desktop.h"
#include "scanner/scan_checks.h"
#include "views/pane_host.h"
#include "views/scan_indicator_dlg.h"

// What a scan asks of the window that runs it.
class CScanSessionHost {
public:
    virtual ~CScanSessionHost() = default;

    // The window: brought forward at the start and owner of the progress
    // dialog.
    virtual HWND HostWindow() const = 0;
    // Where the scan's message box goes.
    virtual CDesktop& Desktop() = 0;
    // The scan's result that the session writes and the views show.
    virtual CScanResult& Result() = 0;
    // The status bar's message pane shows this string of the string table.
    virtual void ShowStatus(UINT textId) = 0;
    // The tree and the list go empty as the walk starts; a census that
    // still runs is dropped.
    virtual void ClearResults() = 0;
    // The tree's start item, as before any scan.
    virtual void ShowStartItem() = 0;
    // The views show the result: the census of its modules starts, then the
    // tree is built from it, so that the tree's selection waits for that
    // census.
    virtual void ShowResult() = 0;
    // The info pane shows this page.
    virtual void ShowPage(const char* resourceName) = 0;
};

class CScanSession {
public:
    static constexpr UINT_PTR kScanTimerId = 1;
    static constexpr UINT kScanDelayMs = 300;
    // Runs the stages of the provocation one per tick while the walk runs,
    // then looks for the self-test's hooks to be in place and provokes
    // them.
    static constexpr UINT_PTR kProvocationTimerId = 2;
    static constexpr UINT kProvocationTickMs = 20;
    // How long the self-test's host gets to put its hooks in place.
    static constexpr DWORD kSelfTestReadyMs = 5000;
    // The 64-bit companion has answered (or failed).
    static constexpr UINT kProbeDoneMessage = WM_APP + 0x52;

    // The progress dialog is started with dialogHost.
    CScanSession(CScanSessionHost& host, CPaneHost& dialogHost) : m_host(host), m_dialogHost(dialogHost) {}
    // The session's window goes; a scan still running is left to its checks'
    // own ends.
    ~CScanSession();
    CScanSession(const CScanSession&) = delete;
    CScanSession& operator=(const CScanSession&) = delete;

    // Forgets the requests before this scan, brings the window forward and
    // arms the start tick; nothing while a scan runs.
    void Start(const std::wstring& programFolder);
    // The result written again from the modules recorded here and those the
    // companion found, and shown with a fresh census of them; false when
    // it holds no module.
    bool RebuildModuleTree();
    // The window closes while a scan may run: the checks end and the walk
    // stops, and its end starts nothing more.
    void Stop();
    // The window is being destroyed: the timers go and the checks end.
    void EndWithWindow();

    // A scan runs from its dialog's start until the provocation has ended
    // and the 64-bit companion (where there is one) has answered.
    bool IsRunning() const { return m_dialog.IsRunning() || m_bProvoking || m_bAwaitingProbe; }
    const CScanChecks& Checks() const { return m_checks; }
    CScanIndicatorDlg& Dialog() { return m_dialog; }
    // The message-only window that receives the scan's timers and the
    // companion's message; null before the first Start.
    HWND Window() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool CreateSessionWindow();
    // A timer of the session's window; false when it is not one of the scan's.
    bool OnTimer(UINT_PTR id);
    void OnStartTick();
    void OnProvocationTick();
    // The self-test's part of the provocation; true once it is over.
    bool SelfTestProvoked();
    // The provocation is over: the scan goes on to its end once the walk has too.
    void EndProvocation();
    // The start tick could not open the scan dialog.
    void OnNotStarted();
    // The progress dialog has walked the last process or was stopped.
    void OnWalkEnded();
    // Both the walk and the provocation are over.
    void AfterWalk();
    // The window received kProbeDoneMessage.
    void OnProbeDone();
    // Both sides of the scan are done: the result, the status text and the
    // page.
    void Finish();
    void EndChecks();

    CScanSessionHost& m_host;
    CPaneHost& m_dialogHost;
    CScanIndicatorDlg m_dialog;
    CScanChecks m_checks;
    HWND m_hWnd = nullptr;
    std::unique_ptr<CProvocation> m_provocation;
    int m_nNextStage = 0;
    enum SelfTestPhase { SELFTEST_NOT_STARTED, SELFTEST_WAITING, SELFTEST_DONE };
    SelfTestPhase m_selfTestPhase = SELFTEST_NOT_STARTED;
    DWORD m_dwSelfTestStarted = 0;
    // A stage runs: a tick that a stage's own message handling dispatches
    // does nothing.
    bool m_bInStage = false;
    bool m_bProvoking = false;
    bool m_bWalkEnded = false;
    bool m_bAwaitingProbe = false;
    // The window is going: the end of the walk starts nothing more.
    bool m_bClosing = false;
};
