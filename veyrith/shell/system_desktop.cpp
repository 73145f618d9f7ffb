#include "shell/system_desktop.h"

#include "actions/reboot.h"
#include "actions/shell_open.h"
#include "framework/dialog.h"
#include "framework/message_box.h"
#include "views/results_report.h"

int CSystemDesktop::ShowMessage(const std::wstring& text, UINT type) { return fw::ShowMessage(text, type); }

void CSystemDesktop::ShellOpen(HWND owner, const std::wstring& verb, const std::wstring& file,
                               const std::wstring& parameters, int show) {
    ::ShellOpen(owner, verb, file, parameters, show);
}

void CSystemDesktop::Restart() { RebootWindows(); }

INT_PTR CSystemDesktop::Confirm(fw::Dialog& dialog, HWND owner) { return dialog.DoModal(owner); }

bool CSystemDesktop::ChooseSavePath(HWND owner, std::wstring& path) { return ChooseReportSavePath(owner, path); }

void CSystemDesktop::OpenSavedReport(const std::wstring& path) {
    ::ShellOpen(nullptr, L"open", path, std::wstring(), SW_SHOW);
}
