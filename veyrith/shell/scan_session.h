// One scan of the main window, from the Scan command to the result page:
// the provoked keyboard hooks, the start tick, the progress dialog's walk,
// the self-test and the 64-bit companion (CScanChecks), and the end (the
// tree rebuilt with the census of its modules, the status text, the page).
// The session reaches its window only through CScanSessionHost; the frame
// owns it and routes its timers, the end of the walk and the companion's
// message to it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/desktop.h"
#include "scanner/affected_applications.h"
#include "scanner/own_modules.h"
#include "scanner/scan_checks.h"
#include "views/pane_host.h"
#include "views/scan_indicator_dlg.h"

// What a scan asks of the window that runs it.
class CScanSessionHost {
public:
    virtual ~CScanSessionHost() = default;

    // The window: brought forward at the start, owner of the scan's timers
    // and receiver of the companion's message.
    virtual HWND HostWindow() const = 0;
    // Where the scan's message box goes.
    virtual CDesktop& Desktop() = 0;
    // The status bar's message pane shows this string of the string table.
    virtual void ShowStatus(UINT textId) = 0;
    // The tree and the list go empty as the walk starts; a census that
    // still runs is dropped.
    virtual void ClearResults() = 0;
    // The tree's start item, as before any scan.
    virtual void ShowStartItem() = 0;
    // Starts the census of the items' modules (with the records the
    // companion took of its 64-bit ones), then builds the tree from the
    // items, so that the tree's selection waits for that census; false when
    // the tree shows no module.
    virtual bool ShowModules(const ModuleTreeItems& items, const std::vector<TakenModule>& modules64) = 0;
    // The info pane shows this page.
    virtual void ShowPage(const char* resourceName) = 0;
};

class CScanSession {
public:
    static constexpr UINT_PTR kScanTimerId = 1;
    static constexpr UINT kScanDelayMs = 300;
    // Looks, while the walk runs, for the self-test's hooks to be in place,
    // then provokes the keyboard hooks once more.
    static constexpr UINT_PTR kSelfTestTimerId = 2;
    static constexpr UINT kSelfTestPollMs = 100;
    // The 64-bit companion has answered (or failed).
    static constexpr UINT kProbeDoneMessage = WM_APP + 0x52;
    // The synthetic key that makes the window manager load keyboard hooks.
    static constexpr BYTE kProvokeKey = 0x87;

    // The progress dialog is started with dialogHost.
    CScanSession(CScanSessionHost& host, CPaneHost& dialogHost) : m_host(host), m_dialogHost(dialogHost) {}
    CScanSession(const CScanSession&) = delete;
    CScanSession& operator=(const CScanSession&) = delete;

    // Starts the self-test host from the program folder, brings the window
    // forward, provokes the keyboard hooks and arms the start tick; nothing
    // while a scan runs.
    void Start(const std::wstring& programFolder);
    // A timer of the window; false when it is not one of the scan's.
    bool OnTimer(UINT_PTR id);
    // The progress dialog has walked the last process or was stopped.
    void OnWalkEnded();
    // The window received kProbeDoneMessage.
    void OnProbeDone();
    // The census hand-over: the tree rebuilt from the modules recorded here
    // and those the companion found, with a fresh census of them; false
    // when it shows no module.
    bool RebuildModuleTree();
    // The window closes while a scan may run: the checks end and the walk
    // stops, and its end starts nothing more.
    void Stop();
    // The window is being destroyed: the timers go and the checks end.
    void EndWithWindow();

    // A scan runs from its dialog's start until the 64-bit companion (where
    // there is one) has answered.
    bool IsRunning() const { return m_dialog.IsRunning() || m_bAwaitingProbe; }
    const CScanChecks& Checks() const { return m_checks; }
    CScanIndicatorDlg& Dialog() { return m_dialog; }

private:
    void ProvokeKeyboardHooks();
    void OnStartTick();
    void OnSelfTestTick();
    // The start tick could not open the scan dialog.
    void OnNotStarted();
    // Both sides of the scan are done: the tree, the census, the status
    // text and the page.
    void Finish();
    void EndChecks();
    // The tree's items: the modules recorded here, then the 64-bit ones
    // that the companion found in 64-bit processes (each module once).
    ModuleTreeItems TreeItems() const;

    CScanSessionHost& m_host;
    CPaneHost& m_dialogHost;
    CScanIndicatorDlg m_dialog;
    CScanChecks m_checks;
    bool m_bAwaitingProbe = false;
    // The window is going: the end of the walk starts nothing more.
    bool m_bClosing = false;
};
