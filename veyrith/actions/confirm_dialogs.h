// The dialogs in which the user confirms an action on a finding: end a
// process, choose how a process's file is removed, delete a module at the
// next start, take a program out of autorun. Each shows the system's
// warning icon and a bold first line.
#pragma once

#include <windows.h>

#include <string>

#include "findings/findings.h"
#include "framework/dialog.h"

// The warning icon and the bold heading (control 1006). The actions run
// them through their desktop's Confirm.
class CActionDialog : public fw::Dialog {
public:
    CActionDialog(UINT templateId, HFONT boldFont)
        : fw::Dialog(templateId), m_hBoldFont(boldFont) {}

protected:
    bool OnInit() override;
    // The dialog's own controls, after the common set-up.
    virtual void SetUp() {}

private:
    HFONT m_hBoldFont;
};

// A confirmation about one file: the heading is its path (UTF-16, as the
// action will use it), shortened in the middle when it is too long for the
// label.
class CPathConfirmDlg : public CActionDialog {
public:
    CPathConfirmDlg(UINT templateId, HFONT boldFont, const std::wstring& path)
        : CActionDialog(templateId, boldFont), m_strPath(path) {}

    std::wstring m_strPath;

protected:
    void SetUp() override;
};

// "Warning": ending a process loses its unsaved data.
class CConfirmKillDlg : public CPathConfirmDlg {
public:
    CConfirmKillDlg(HFONT boldFont, const std::wstring& path);
};

// "Choose removal method": end the process and quarantine its file (0), or
// delete the file at the next start after a restart (1).
class CChooseDeleteMethodDlg : public CPathConfirmDlg {
public:
    enum { kEndProcess = 0, kAtReboot = 1 };
    CChooseDeleteMethodDlg(HFONT boldFont, const std::wstring& path);

    int m_nMethod = kEndProcess;

protected:
    void SetUp() override;
    void OnOK() override;
};

// "Warning": a module in use is deleted at the next start; the box says
// whether the system restarts now.
class CDeleteDllDlg : public CPathConfirmDlg {
public:
    CDeleteDllDlg(HFONT boldFont, const std::wstring& path);

    bool m_bReboot = true;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
};

// "Please confirm removal": where the program's autorun entry is registered.
class CConfirmRemoveAutorunDlg : public CActionDialog {
public:
    CConfirmRemoveAutorunDlg(HFONT boldFont, const CListItemState& item);

    CListItemState m_item;

protected:
    void SetUp() override;
};

// The text of a string resource with its one "%s" replaced by the argument.
std::wstring FormatResString(UINT id, const std::wstring& argument);
