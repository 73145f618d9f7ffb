#include "shell/about_dlg.h"

#include "resources/resource.h"

CAboutDlg::CAboutDlg() : fw::Dialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_ABOUT_PICTURE && code == STN_CLICKED) {
        OnOK();
        return true;
    }
    return fw::Dialog::OnCommand(id, code, control);
}
