#include "actions/confirm_dialogs.h"

#include "autorun/autorun_sources.h"
#include "common/string_resource.h"
#include "resources/resource.h"

namespace {

// The warning icon of the system's user32.dll.
constexpr WORD kUser32WarningIcon = 101;

void SetWarningIcon(HWND dialog) {
    HICON icon = LoadIconW(GetModuleHandleW(L"user32.dll"), MAKEINTRESOURCEW(kUser32WarningIcon));
    if (icon) SendDlgItemMessageW(dialog, IDC_ACTION_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// Where an autorun entry is registered, as the dialog shows it.
std::wstring EntryPlace(const CAutoRunInfo& entry) {
    switch (entry.m_nType) {
    case AUTORUN_REGISTRY:
        return FormatResString(IDS_AUTORUN_PATH, std::wstring(entry.m_szLocation) + L"\\" + entry.m_szValueName);
    case AUTORUN_SHORTCUT:
        return FormatResString(IDS_AUTORUN_PATH, entry.m_szLocation);
    case AUTORUN_WININI:
        return FormatResString(IDS_AUTORUN_WININI_PLACE, entry.m_szLocation);
    }
    return std::wstring();
}

}  // namespace

std::wstring FormatResString(UINT id, const std::wstring& argument) {
    std::wstring text = LoadResString(id);
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, argument);
    return text;
}

bool CActionDialog::OnInit() {
    fw::Dialog::OnInit();
    SetWarningIcon(Handle());
    if (m_hBoldFont)
        SendDlgItemMessageW(Handle(), IDC_ACTION_HEADING, WM_SETFONT, reinterpret_cast<WPARAM>(m_hBoldFont), TRUE);
    SetUp();
    return true;
}

void CPathConfirmDlg::SetUp() {
    HWND label = Item(IDC_ACTION_HEADING);
    SetWindowLongW(label, GWL_STYLE, GetWindowLongW(label, GWL_STYLE) | SS_PATHELLIPSIS);
    SetWindowTextW(label, m_strPath.c_str());
}

CConfirmKillDlg::CConfirmKillDlg(HFONT boldFont, const std::wstring& path)
    : CPathConfirmDlg(IDD_CONFIRM_KILL, boldFont, path) {}

CChooseDeleteMethodDlg::CChooseDeleteMethodDlg(HFONT boldFont, const std::wstring& path)
    : CPathConfirmDlg(IDD_CHOOSE_DELETE_METHOD, boldFont, path) {}

void CChooseDeleteMethodDlg::SetUp() {
    CPathConfirmDlg::SetUp();
    CheckRadioButton(Handle(), IDC_METHOD_END_PROCESS, IDC_METHOD_AT_REBOOT, IDC_METHOD_END_PROCESS);
}

void CChooseDeleteMethodDlg::OnOK() {
    m_nMethod = IsDlgButtonChecked(Handle(), IDC_METHOD_END_PROCESS) == BST_CHECKED ? kEndProcess : kAtReboot;
    CPathConfirmDlg::OnOK();
}

CDeleteDllDlg::CDeleteDllDlg(HFONT boldFont, const std::wstring& path)
    : CPathConfirmDlg(IDD_DELETE_DLL, boldFont, path) {}

void CDeleteDllDlg::DoDataExchange(fw::DataExchange& dx) { dx.Check(IDC_REBOOT_NOW, m_bReboot); }

CConfirmRemoveAutorunDlg::CConfirmRemoveAutorunDlg(HFONT boldFont, const CListItemState& item)
    : CActionDialog(IDD_CONFIRM_REMOVE_AUTORUN, boldFont), m_item(item) {}

void CConfirmRemoveAutorunDlg::SetUp() {
    const CAutoRunInfo& entry = m_item.m_autoRun;
    std::wstring label = Item(IDC_AUTORUN_TYPE).Text();
    size_t at = label.find(L"%s");
    if (at != std::wstring::npos) label.replace(at, 2, AutoRunTypeText(entry.m_nType));
    SetDlgItemTextW(Handle(), IDC_AUTORUN_TYPE, label.c_str());
    SetDlgItemTextW(Handle(), IDC_AUTORUN_PLACE, EntryPlace(entry).c_str());
}
