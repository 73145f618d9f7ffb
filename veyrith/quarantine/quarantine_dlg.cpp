#include "quarantine/quarantine_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "common/owners.h"
#include "common/string_resource.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE |
                              LVS_EX_INFOTIP | LVS_EX_UNDERLINEHOT;
static_assert(kListStyles == 0xC61, "extended list styles");

// The list's columns in order: the copy's name, the place it came from.
std::vector<fw::ListColumn> Columns() {
    return {
        {LoadResString(IDS_COLUMN_ITEM), 100},
        {LoadResString(IDS_COLUMN_PATH), 230},
    };
}

}  // namespace

CQuarantineDlg::CQuarantineDlg(CDesktop& desktop, const CQuarantineStore& store)
    : fw::Dialog(IDD_QUARANTINE), m_desktop(desktop), m_store(store) {}

INT_PTR CQuarantineDlg::Show(HWND owner, CDesktop& desktop, const CQuarantineStore& store) {
    CQuarantineDlg dialog(desktop, store);
    return dialog.DoModal(owner);
}

bool CQuarantineDlg::Confirmed(UINT questionId) {
    return m_desktop.ShowMessage(questionId, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CQuarantineDlg::ShowFailure(const ToolResult& result, UINT failedMessage) {
    ShowToolFailure(m_desktop, result);
    m_desktop.ShowMessage(failedMessage, MB_OK | MB_ICONSTOP);
}

bool CQuarantineDlg::OnInit() {
    fw::Dialog::OnInit();
    m_list = fw::ListViewCtrl(Item(IDC_QUARANTINE_LIST));
    SetUpList();
    FillList();
    return true;
}

void CQuarantineDlg::SetUpList() {
    m_icons.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR24 | ILC_MASK, 0, 1);
    m_list.SetImageList(m_icons.Handle(), LVSIL_SMALL);
    m_list.InsertColumns(Columns());
    m_list.SetExtendedStyle(kListStyles);
}

// Rows, icons and records start afresh, so every row shows its own copy's
// icon and no row is selected.
void CQuarantineDlg::FillList() {
    m_list.DeleteAllItems();
    ImageList_RemoveAll(m_icons.Handle());
    m_records.clear();
    for (const QuarantineRecord& record : m_store.ReadRecords()) AddRow(record);
}

// The copy's first small icon, or the standard application icon for a copy
// without one. The list keeps its own image of the icon.
void CQuarantineDlg::AddRow(const QuarantineRecord& record) {
    CIcon icon;
    int image = -1;
    if (ExtractIconExW(record.copyPath.c_str(), 0, nullptr, icon.Receive(), 1) > 0 && icon)
        image = ImageList_AddIcon(m_icons.Handle(), icon.Get());
    else
        image = ImageList_AddIcon(m_icons.Handle(), LoadIcon(nullptr, IDI_APPLICATION));
    int row = m_list.InsertItem(m_list.ItemCount(), FileNameOf(record.copyPath), image,
                                static_cast<LPARAM>(m_records.size()));
    if (row < 0) return;
    m_list.SetItemText(row, 1, record.sourcePath);
    m_records.push_back(record);
}

bool CQuarantineDlg::SelectedRecord(QuarantineRecord& record) const {
    int row = m_list.SelectedItem();
    LPARAM data = 0;
    if (row < 0 || !m_list.GetItemData(row, data)) return false;
    size_t index = static_cast<size_t>(data);
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
    ToolResult result = m_store.Restore(record);
    if (!result.Succeeded()) {
        ShowFailure(result, IDS_RESTORE_FAILED);
        return;
    }
    Refill(IDS_RESTORE_DONE);
}

void CQuarantineDlg::OnDelete() {
    QuarantineRecord record;
    if (!SelectedRecord(record) || !Confirmed(IDS_CONFIRM_DELETE)) return;
    ToolResult result = m_store.DeleteCopy(record);
    if (!result.Succeeded()) {
        ShowFailure(result, IDS_DELETE_FAILED);
        return;
    }
    Refill(IDS_DELETE_DONE);
}

// The tool has dropped the record with the copy: the list is read again.
void CQuarantineDlg::Refill(UINT doneMessage) {
    FillList();
    m_desktop.ShowMessage(doneMessage, MB_OK | MB_ICONINFORMATION);
}
