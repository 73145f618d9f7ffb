// The scan's progress dialog. A scan is running exactly while its window
// exists: every 200 ms it shows one running process (path and icon), and
// after the last one it closes itself. Its destruction ends the walk: it
// calls back the one who started it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/owners.h"
#include "framework/dialog.h"

class CPaneHost;

class CScanIndicatorDlg : public fw::Dialog {
public:
    CScanIndicatorDlg();
    ~CScanIndicatorDlg() override;

    // Creates the modeless window owned by the host's window (its heading
    // in the host's bold font) unless one exists; walkEnded is called when
    // the window is destroyed. False when the window cannot be created.
    bool Start(CPaneHost* host, std::function<void()> walkEnded = nullptr);
    // True while the window exists.
    bool IsRunning() const;
    // Destroys the window; walkEnded is called from its destruction.
    void Stop();

    // One step of the walk: shows the next process with an existing
    // executable. False when the walk has ended (the window is then gone)
    // or the process list could not be read.
    bool ShowNextProcess();
    // How many process identifiers the walk has examined.
    DWORD ProcessIndex() const { return m_dwProcessIndex; }
    // The path shown, empty before the first process.
    std::wstring ShownPath() const;

protected:
    bool OnInit() override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OnScanEnd();
    void Finish();
    void ShowIcon(HICON icon, bool owned);

    CPaneHost* m_pHost = nullptr;
    std::function<void()> m_walkEnded;
    DWORD m_dwProcessIndex = 0;
    // The processes running when the walk began, read once: the walk costs
    // one listing per scan, not one per step.
    std::vector<DWORD> m_processIds;
    // The icon that control 1011 shows when it is ours to destroy; empty
    // while it shows the system's standard application icon (shared, never
    // destroyed) or nothing.
    CIcon m_icon;
};
