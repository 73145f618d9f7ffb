// The scan's progress dialog. A scan is running exactly while its window
// exists: every 200 ms it shows one running process (path and icon), and
// after the last one it closes itself. Its destruction ends the scan: the
// module tree is rebuilt and the result page shown.
#pragma once

#include <windows.h>

#include <string>

#include "dialog.h"

class CScanIndicatorDlg : public fw::Dialog {
public:
    CScanIndicatorDlg();
    ~CScanIndicatorDlg() override;

    // Creates the modeless window owned by the frame unless one exists.
    bool Start();
    // True while the window exists.
    bool IsRunning() const;
    // Destroys the window; the end-of-scan steps run from its destruction.
    void Stop();

    // One step of the walk: shows the next process with an existing
    // executable. False when the walk has ended (the window is then gone)
    // or the process list could not be read.
    bool ShowNextProcess();
    // How many process identifiers the walk has examined.
    DWORD ProcessIndex() const { return m_dwProcessIndex; }
    // The path shown, empty before the first process.
    std::string ShownPath() const;

protected:
    bool OnInit() override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OnScanEnd();
    void Finish();
    void ShowIcon(HICON icon, bool owned);

    DWORD m_dwProcessIndex = 0;
    // The icon control 1011 shows and whether it is ours to destroy (the
    // system's standard application icon is shared and never destroyed).
    HICON m_hIcon = nullptr;
    bool m_bIconOwned = false;
};
