#include "views/affected_list.h"

#include <cwchar>
#include <vector>

#include "autorun/autorun_sources.h"
#include "common/executable_folder.h"
#include "common/owners.h"
#include "views/pane_context_menu.h"
#include "resources/resource.h"
#include "views/pane_host.h"
#include "common/string_resource.h"

namespace {

// Full-row select, sub-item images, one-click activation, info tips, hot
// underlining.
constexpr DWORD kExtendedStyles = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_ONECLICKACTIVATE |
                                  LVS_EX_INFOTIP | LVS_EX_UNDERLINEHOT;
static_assert(kExtendedStyles == 0x0C62, "list extended styles");

constexpr UINT kListId = 1;

// The report's columns in order, left-aligned.
std::vector<fw::ListColumn> Columns() {
    return {
        {LoadResString(IDS_COLUMN_APPLICATIONS), 290},
        {LoadResString(IDS_COLUMN_VISIBILITY), 70},
        {LoadResString(IDS_COLUMN_AUTORUN), 70},
        {LoadResString(IDS_COLUMN_DESCRIPTION), 200},
    };
}

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int CompareNumbers(int first, int second) { return first < second ? -1 : (first > second ? 1 : 0); }

bool Contains(const std::vector<std::wstring>& modules, const std::wstring& module) {
    for (const std::wstring& known : modules) {
        if (lstrcmpiW(known.c_str(), module.c_str()) == 0) return true;
    }
    return false;
}

}  // namespace

CVeyrithView::CVeyrithView() {
    if (!m_images.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR24 | ILC_MASK, 0, 1))
        return;
    m_images.AddIconResource(ResourceModule(), IDI_HIDDEN_MARK);
    m_images.AddIconResource(ResourceModule(), IDI_VISIBLE_MARK);
}

// The window goes first, while the image list it shows still exists.
CVeyrithView::~CVeyrithView() {
    if (Handle()) Destroy();
}

bool CVeyrithView::Create(HWND parent, UINT id, CPaneHost* host, CScanResult& result) {
    m_pHost = host;
    m_pResult = &result;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return CreatePane(parent, id);
}

bool CVeyrithView::OnCreate(CREATESTRUCTW& cs) {
    // The view owns the image list; the control must not destroy it.
    m_census.SetWindow(Handle());
    return CreateControl(WC_LISTVIEWW, WS_BORDER | LVS_SHAREIMAGELISTS, 0, kListId, cs) != nullptr;
}

void CVeyrithView::OnDestroy() {
    // A census that lands after the window is gone is dropped.
    m_census.SetWindow(nullptr);
    m_census.Cancel();
}

LRESULT CVeyrithView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == CCensusRunner::kResultMessage) {
        OnCensusResult();
        return 0;
    }
    return ControlView::OnMessage(msg, wParam, lParam);
}

void CVeyrithView::OnInitialUpdate() {
    ShowImages();
    fw::ListViewCtrl list = ListCtrl();
    list.InsertColumns(Columns());
    list.SetExtendedStyle(kExtendedStyles);
}

void CVeyrithView::SetReportMode() {
    LONG_PTR style = GetWindowLongPtrW(Control(), GWL_STYLE);
    SetWindowLongPtrW(Control(), GWL_STYLE, (style & ~LVS_TYPEMASK) | LVS_REPORT);
}

void CVeyrithView::Reset() {
    ListCtrl().DeleteAllItems();
    m_records.Reset();
}

void CVeyrithView::StartCensus() {
    m_covered.clear();
    for (int module = 0; module < m_pResult->Count(); ++module) m_covered.push_back(m_pResult->Finding(module).path);
    m_census.Start(m_pResult->CensusModules(), m_images.Handle(), m_pResult->TakenModules());
}

void CVeyrithView::TakeCensus() {
    m_nModule = m_strModule.empty() ? -1 : m_pResult->Find(m_strModule);
    if (m_nModule < 0) ShowNothing();
    StartCensus();
}

void CVeyrithView::ShowModule(int module) {
    m_nModule = m_pResult->IsModule(module) ? module : -1;
    m_strModule = m_nModule >= 0 ? m_pResult->Finding(m_nModule).path : std::wstring();
    ShowRows(false);
}

void CVeyrithView::ShowNothing() {
    m_nModule = -1;
    m_strModule.clear();
    Reset();
}

void CVeyrithView::Refresh() {
    ShowRows(true);
    if (!m_pResult->Empty()) StartCensus();
}

void CVeyrithView::DropCensus() {
    m_census.Cancel();
    Reset();
    m_pResult->DropCensus();
    // The control lets go of the census's images before they are freed.
    std::unique_ptr<CCensusResult> old = std::move(m_result);
    ShowImages();
    m_covered.clear();
    m_nModule = -1;
    m_strModule.clear();
}

void CVeyrithView::ShowImages() {
    ListCtrl().SetImageList(m_result ? m_result->Images() : m_images.Handle(), LVSIL_SMALL);
}

void CVeyrithView::OnCensusResult() {
    std::unique_ptr<CCensusResult> result = m_census.TakeResult();
    if (!result) return;
    // The old census (and its images) goes only after the rows and the
    // control have moved to the new one.
    std::swap(m_result, result);
    m_pResult->TakeCensus(m_result->Census());
    ShowRows(true);
    if (m_pHost) m_pHost->OnCensusLanded();
}

void CVeyrithView::ShowRows(bool keepSelection) {
    DWORD selected = keepSelection ? SelectedProcessId() : 0;
    Reset();
    ShowImages();
    if (!m_pResult->IsModule(m_nModule)) return;
    if (!m_pResult->HasCensus(m_nModule)) {
        // A module that no census covers yet gets one, together with the
        // other modules of the result.
        bool covered = Contains(m_covered, m_strModule);
        if (!covered || !m_census.IsRunning()) StartCensus();
        return;
    }
    const std::wstring ownPath = ExecutablePath();
    bool hiddenOnly = m_pHost && m_pHost->IsHiddenOnlyChecked();
    fw::ListViewCtrl list = ListCtrl();
    list.Send(WM_SETREDRAW, FALSE);
    // The records keep every process of the census; the rows leave out this
    // process and, when asked, the visible ones.
    int row = 0;
    for (const CListItemState& record : m_pResult->Hosts(m_nModule)) {
        m_records.Append(record);
        if (lstrcmpiW(record.m_szPath, ownPath.c_str()) == 0) continue;
        if (hiddenOnly && record.m_bVisible) continue;
        AddRow(row, m_records.GetCount() - 1, m_result ? m_result->ImageOf(record.m_szPath) : -1);
        ++row;
    }
    list.Send(WM_SETREDRAW, TRUE);
    if (selected) SelectProcess(selected);
}

DWORD CVeyrithView::SelectedProcessId() const {
    CListItemState record;
    return GetSelectedRecord(record) ? record.m_dwProcessId : 0;
}

void CVeyrithView::SelectProcess(DWORD processId) {
    for (int row = 0; row < GetRowCount(); ++row) {
        int index = GetRowRecord(row);
        if (index < 0 || m_records.GetAt(index).m_dwProcessId != processId) continue;
        ListCtrl().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return;
    }
}

void CVeyrithView::AddRow(int row, int recordIndex, int image) {
    const CListItemState& record = m_records.GetAt(recordIndex);
    int inserted = ListCtrl().InsertItem(row, record.m_szPath, image >= 0 ? image : I_IMAGENONE, recordIndex);
    if (inserted < 0) return;

    bool visible = record.m_bVisible > 0;
    SetCell(inserted, kColumnVisibility, LoadResString(visible ? IDS_VISIBLE : IDS_HIDDEN),
            record.m_bVisible ? kImageVisible : kImageHidden);
    SetCell(inserted, kColumnAutorun, AutoRunTypeText(record.m_autoRun.m_nType), -1);
    SetCell(inserted, kColumnDescription, record.m_szDescription, -1);
}

void CVeyrithView::SetCell(int row, int column, const std::wstring& text, int image) {
    fw::ListViewCtrl list = ListCtrl();
    list.SetItemText(row, column, text);
    if (image >= 0) list.SetItemImage(row, column, image);
}

bool CVeyrithView::HasFocus() const { return ControlHasFocus(); }

bool CVeyrithView::GetSelectedRecord(CListItemState& record) const {
    int row = ListCtrl().SelectedItem();
    int index = row >= 0 ? GetRowRecord(row) : -1;
    if (index < 0 || index >= m_records.GetCount()) return false;
    record = m_records.GetAt(index);
    return true;
}

std::wstring CVeyrithView::GetSelectedText() const {
    int row = ListCtrl().SelectedItem();
    return row >= 0 ? GetCellText(row, kColumnPath) : std::wstring();
}

int CVeyrithView::GetRowCount() const { return ListCtrl().ItemCount(); }

std::wstring CVeyrithView::GetCellText(int row, int column) const { return ListCtrl().ItemText(row, column); }

int CVeyrithView::GetRowRecord(int row) const {
    LPARAM data = 0;
    return ListCtrl().GetItemData(row, data) ? static_cast<int>(data) : -1;
}

int CVeyrithView::GetImageCount() const {
    return ImageList_GetImageCount(m_result ? m_result->Images() : m_images.Handle());
}

int CVeyrithView::CompareRecords(int first, int second) const {
    if (first < 0 || second < 0 || first >= m_records.GetCount() || second >= m_records.GetCount())
        return 0;
    const CListItemState& a = m_records.GetAt(m_bSortAscending ? first : second);
    const CListItemState& b = m_records.GetAt(m_bSortAscending ? second : first);
    switch (m_nSortColumn) {
    case kColumnPath:
        return Sign(wcscmp(a.m_szPath, b.m_szPath));
    case kColumnVisibility:
        return CompareNumbers(a.m_bVisible, b.m_bVisible);
    case kColumnAutorun:
        return CompareNumbers(a.m_autoRun.m_nType, b.m_autoRun.m_nType);
    case kColumnDescription:
        return Sign(wcscmp(a.m_szDescription, b.m_szDescription));
    }
    return 0;
}

int CALLBACK CVeyrithView::CompareRows(LPARAM first, LPARAM second, LPARAM view) {
    return reinterpret_cast<const CVeyrithView*>(view)->CompareRecords(static_cast<int>(first),
                                                                       static_cast<int>(second));
}

LRESULT CVeyrithView::OnControlNotify(const NMHDR& header) {
    switch (header.code) {
    case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
    case LVN_COLUMNCLICK:
        OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        break;
    case LVN_ITEMCHANGED:
        OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
        break;
    case NM_RCLICK:
        OnRightClick();
        break;
    case NM_DBLCLK:
        if (m_pHost) SendMessageW(m_pHost->HostWindow(), WM_COMMAND, MAKEWPARAM(ID_VIEW_THE_FILE, 0), 0);
        break;
    }
    return 0;
}

LRESULT CVeyrithView::OnCustomDraw(const NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT: {
        int index = static_cast<int>(draw.nmcd.lItemlParam);
        if (index < 0 || index >= m_records.GetCount()) return CDRF_DODEFAULT;
        // The control reads the colours back from the structure it sent.
        auto& cell = const_cast<NMLVCUSTOMDRAW&>(draw);
        cell.clrText = m_records.GetAt(index).m_crText;
        cell.clrTextBk = m_records.GetAt(index).m_crBack;
        return CDRF_DODEFAULT;
    }
    }
    return CDRF_DODEFAULT;
}

void CVeyrithView::OnColumnClick(int column) {
    if (GetRowCount() == 0) return;
    m_nSortColumn = column;
    ListCtrl().SortItems(&CVeyrithView::CompareRows, reinterpret_cast<LPARAM>(this));
    m_bSortAscending = !m_bSortAscending;
}

void CVeyrithView::OnItemChanged(const NMLISTVIEW& info) {
    if (!(info.uChanged & LVIF_STATE) || info.iItem < 0) return;
    bool wasSelected = (info.uOldState & LVIS_SELECTED) != 0;
    bool isSelected = (info.uNewState & LVIS_SELECTED) != 0;
    if (wasSelected == isSelected) return;
    if (m_pHost) m_pHost->SetMessageText(isSelected ? GetCellText(info.iItem, kColumnDescription) : std::wstring());
}

void CVeyrithView::OnRightClick() {
    if (ListCtrl().SelectedItem() < 0) return;
    if (!m_pHost) return;
    POINT screen = {};
    GetCursorPos(&screen);
    CPaneContextMenu menu(true);
    menu.Track(m_pHost->HostWindow(), screen);
}
