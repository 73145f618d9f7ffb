#include "quarantine/quarantine_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/message_box.h"
#include "framework/string_resource.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE |
                              LVS_EX_INFOTIP | LVS_EX_UNDERLINEHOT;
static_assert(kListStyles == 0xC61, "extended list styles");

void InsertColumn(HWND list, int column, UINT headingId, int width) {
    std::string heading = fw::LoadResString(headingId);
    LVCOLUMNA info = {};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = LVCFMT_LEFT;
    info.cx = width;
    info.pszText = const_cast<char*>(heading.c_str());
    info.iSubItem = column;
    SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
}

bool Confirmed(UINT questionId) {
    return fw::ShowMessage(questionId, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

CQuarantineDlg::CQuarantineDlg() : fw::Dialog(IDD_QUARANTINE) {}

INT_PTR CQuarantineDlg::Show(HWND owner) {
    CQuarantineDlg dialog;
    return dialog.DoModal(owner);
}

bool CQuarantineDlg::OnInit() {
    fw::Dialog::OnInit();
    m_list = GetDlgItem(Handle(), IDC_QUARANTINE_LIST);
    SetUpList();
    FillList();
    return true;
}

void CQuarantineDlg::SetUpList() {
    m_icons.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR24 | ILC_MASK, 0, 1);
    ListView_SetImageList(m_list, m_icons.Handle(), LVSIL_SMALL);
    InsertColumn(m_list, 0, IDS_COLUMN_ITEM, 100);
    InsertColumn(m_list, 1, IDS_COLUMN_PATH, 230);
    ListView_SetExtendedListViewStyle(m_list, kListStyles);
}

// Rows, icons and records start afresh, so every row shows its own copy's
// icon and no row is selected.
void CQuarantineDlg::FillList() {
    ListView_DeleteAllItems(m_list);
    ImageList_RemoveAll(m_icons.Handle());
    m_records.clear();
    for (const QuarantineRecord& record : ReadQuarantineRecords()) AddRow(record);
}

// The copy's first small icon, or the standard application icon for a copy
// without one. The list keeps its own image of the icon.
void CQuarantineDlg::AddRow(const QuarantineRecord& record) {
    HICON icon = nullptr;
    int image = -1;
    if (ExtractIconExW(record.copyPath.c_str(), 0, nullptr, &icon, 1) > 0 && icon) {
        image = ImageList_AddIcon(m_icons.Handle(), icon);
        DestroyIcon(icon);
    } else {
        image = ImageList_AddIcon(m_icons.Handle(), LoadIcon(nullptr, IDI_APPLICATION));
    }
    std::wstring name = FileNameOf(record.copyPath);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(m_list);
    item.pszText = const_cast<wchar_t*>(name.c_str());
    item.iImage = image;
    item.lParam = static_cast<LPARAM>(m_records.size());
    int row = static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    LVITEMW path = {};
    path.iSubItem = 1;
    path.pszText = const_cast<wchar_t*>(record.sourcePath.c_str());
    SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&path));
    m_records.push_back(record);
}

bool CQuarantineDlg::SelectedRecord(QuarantineRecord& record) const {
    int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    if (row < 0) return false;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    size_t index = static_cast<size_t>(item.lParam);
    if (index >= m_records.size()) return false;
    record = m_records[index];
    return true;
}

bool CQuarantineDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == ID_QUARANTINE_DELETE) {
        OnDelete();
        return true;
    }
    return fw::Dialog::OnCommand(id, code, control);
}

void CQuarantineDlg::OnOK() {
    QuarantineRecord record;
    if (!SelectedRecord(record) || !Confirmed(IDS_CONFIRM_RESTORE)) return;
    if (!RestoreQuarantinedFile(record)) {
        fw::ShowMessage(IDS_RESTORE_FAILED, MB_OK | MB_ICONSTOP);
        return;
    }
    Refill(IDS_RESTORE_DONE);
}

void CQuarantineDlg::OnDelete() {
    QuarantineRecord record;
    if (!SelectedRecord(record) || !Confirmed(IDS_CONFIRM_DELETE)) return;
    if (!DeleteQuarantinedCopy(record)) {
        fw::ShowMessage(IDS_DELETE_FAILED, MB_OK | MB_ICONSTOP);
        return;
    }
    Refill(IDS_DELETE_DONE);
}

// The tool has dropped the record with the copy: the list is read again.
void CQuarantineDlg::Refill(UINT doneMessage) {
    FillList();
    fw::ShowMessage(doneMessage, MB_OK | MB_ICONINFORMATION);
}
