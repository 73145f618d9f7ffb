#include "views/veyrith_view.h"

#include <cwchar>
#include <vector>

#include "autorun/autorun_sources.h"
#include "views/pane_context_menu.h"
#include "resources/resource.h"
#include "views/pane_host.h"
#include "framework/string_resource.h"

namespace {

// Full-row select, sub-item images, one-click activation, info tips, hot
// underlining.
constexpr DWORD kExtendedStyles = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_ONECLICKACTIVATE |
                                  LVS_EX_INFOTIP | LVS_EX_UNDERLINEHOT;
static_assert(kExtendedStyles == 0x0C62, "list extended styles");

constexpr UINT kListId = 1;

struct ColumnLayout {
    UINT heading;
    int width;
};

const ColumnLayout kColumns[] = {
    {IDS_COLUMN_APPLICATIONS, 290},
    {IDS_COLUMN_VISIBILITY, 70},
    {IDS_COLUMN_AUTORUN, 70},
    {IDS_COLUMN_DESCRIPTION, 200},
};

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int CompareNumbers(int first, int second) { return first < second ? -1 : (first > second ? 1 : 0); }

// Adds an icon resource to the image list; the icon is freed at once.
void AddIconResource(HIMAGELIST images, UINT id) {
    HICON icon = static_cast<HICON>(LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (!icon) return;
    ImageList_AddIcon(images, icon);
    DestroyIcon(icon);
}

bool Contains(const std::vector<std::wstring>& modules, const std::wstring& module) {
    for (const std::wstring& known : modules) {
        if (lstrcmpiW(known.c_str(), module.c_str()) == 0) return true;
    }
    return false;
}

bool Contains(const std::vector<TakenModule>& taken, const std::wstring& module) {
    for (const TakenModule& known : taken) {
        if (lstrcmpiW(known.module.c_str(), module.c_str()) == 0) return true;
    }
    return false;
}

}  // namespace

CVeyrithView::CVeyrithView() {
    m_images = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                ILC_COLOR24 | ILC_MASK, 0, 1);
    if (!m_images) return;
    AddIconResource(m_images, IDI_HIDDEN_MARK);
    AddIconResource(m_images, IDI_VISIBLE_MARK);
}

CVeyrithView::~CVeyrithView() {
    if (Handle()) DestroyWindow(Handle());
    if (m_images) ImageList_Destroy(m_images);
}

bool CVeyrithView::Create(HWND parent, UINT id, CPaneHost* host) {
    m_pHost = host;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return CreatePane(parent, id);
}

bool CVeyrithView::OnCreate(CREATESTRUCTA& cs) {
    // The view owns the image list; the control must not destroy it.
    m_census.SetWindow(Handle());
    return CreateControl(WC_LISTVIEWA, WS_BORDER | LVS_SHAREIMAGELISTS, 0, kListId, cs) != nullptr;
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
    int index = 0;
    for (const ColumnLayout& layout : kColumns) {
        std::string heading = fw::LoadResString(layout.heading);
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = layout.width;
        column.pszText = const_cast<char*>(heading.c_str());
        column.iSubItem = index;
        SendMessageA(Control(), LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
        ++index;
    }
    ListView_SetExtendedListViewStyle(Control(), kExtendedStyles);
}

void CVeyrithView::SetReportMode() {
    LONG_PTR style = GetWindowLongPtrA(Control(), GWL_STYLE);
    SetWindowLongPtrA(Control(), GWL_STYLE, (style & ~LVS_TYPEMASK) | LVS_REPORT);
}

void CVeyrithView::Reset() {
    ListView_DeleteAllItems(Control());
    m_records.Reset();
}

void CVeyrithView::TakeCensus(const std::vector<std::wstring>& modules, const std::vector<TakenModule>& taken) {
    m_modules = modules;
    m_taken = taken;
    m_census.Start(m_modules, m_images, m_taken);
}

bool CVeyrithView::ShowsTakenModule() const { return !m_strModule.empty() && Contains(m_taken, m_strModule); }

void CVeyrithView::ShowModule(const std::wstring& modulePath) {
    m_strModule = modulePath;
    ShowRows(false);
}

void CVeyrithView::ShowNothing() {
    m_strModule.clear();
    Reset();
}

void CVeyrithView::Refresh() {
    ShowRows(true);
    if (!m_modules.empty() || !m_taken.empty()) m_census.Start(m_modules, m_images, m_taken);
}

void CVeyrithView::DropCensus() {
    m_census.Cancel();
    Reset();
    // The control lets go of the census's images before they are freed.
    std::unique_ptr<CCensusResult> old = std::move(m_result);
    ShowImages();
    m_modules.clear();
    m_taken.clear();
    m_strModule.clear();
}

void CVeyrithView::ShowImages() {
    ListView_SetImageList(Control(), m_result ? m_result->Images() : m_images, LVSIL_SMALL);
}

void CVeyrithView::OnCensusResult() {
    std::unique_ptr<CCensusResult> result = m_census.TakeResult();
    if (!result) return;
    // The old census (and its images) goes only after the rows and the
    // control have moved to the new one.
    std::swap(m_result, result);
    ShowRows(true);
}

void CVeyrithView::ShowRows(bool keepSelection) {
    DWORD selected = keepSelection ? SelectedProcessId() : 0;
    Reset();
    ShowImages();
    if (m_strModule.empty()) return;
    const std::vector<CListItemState>* records =
        m_result ? m_result->Census().Find(m_strModule.c_str()) : nullptr;
    if (!records) {
        // A module that no census covers yet gets one of its own, together
        // with the modules asked for before.
        bool covered = Contains(m_modules, m_strModule) || Contains(m_taken, m_strModule);
        if (!covered) m_modules.push_back(m_strModule);
        if (!covered || !m_census.IsRunning()) m_census.Start(m_modules, m_images, m_taken);
        return;
    }
    wchar_t ownPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    bool hiddenOnly = m_pHost && m_pHost->IsHiddenOnlyChecked();
    SendMessageA(Control(), WM_SETREDRAW, FALSE, 0);
    // The records keep every process of the census; the rows leave out this
    // process and, when asked, the visible ones.
    int row = 0;
    for (const CListItemState& record : *records) {
        m_records.Append(record);
        if (lstrcmpiW(record.m_szPath, ownPath) == 0) continue;
        if (hiddenOnly && record.m_bVisible) continue;
        AddRow(row, m_records.GetCount() - 1, m_result->ImageOf(record.m_szPath));
        ++row;
    }
    SendMessageA(Control(), WM_SETREDRAW, TRUE, 0);
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
        ListView_SetItemState(Control(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return;
    }
}

void CVeyrithView::AddRow(int row, int recordIndex, int image) {
    const CListItemState& record = m_records.GetAt(recordIndex);

    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(record.m_szPath);
    item.iImage = image >= 0 ? image : I_IMAGENONE;
    item.lParam = recordIndex;
    int inserted = static_cast<int>(SendMessageW(Control(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) return;

    bool visible = record.m_bVisible > 0;
    SetCell(inserted, kColumnVisibility, fw::LoadResStringW(visible ? IDS_VISIBLE : IDS_HIDDEN),
            record.m_bVisible ? kImageVisible : kImageHidden);
    SetCell(inserted, kColumnAutorun, AutoRunTypeText(record.m_autoRun.m_nType), -1);
    SetCell(inserted, kColumnDescription, record.m_szDescription, -1);
}

void CVeyrithView::SetCell(int row, int column, const std::wstring& text, int image) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    SendMessageW(Control(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

bool CVeyrithView::HasFocus() const { return ControlHasFocus(); }

bool CVeyrithView::GetSelectedRecord(CListItemState& record) const {
    int row = ListView_GetNextItem(Control(), -1, LVNI_SELECTED);
    int index = row >= 0 ? GetRowRecord(row) : -1;
    if (index < 0 || index >= m_records.GetCount()) return false;
    record = m_records.GetAt(index);
    return true;
}

std::wstring CVeyrithView::GetSelectedText() const {
    int row = ListView_GetNextItem(Control(), -1, LVNI_SELECTED);
    return row >= 0 ? GetCellText(row, kColumnPath) : std::wstring();
}

int CVeyrithView::GetRowCount() const { return ListView_GetItemCount(Control()); }

std::wstring CVeyrithView::GetCellText(int row, int column) const {
    std::vector<wchar_t> buffer(1024, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    SendMessageW(Control(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return std::wstring(buffer.data());
}

int CVeyrithView::GetRowRecord(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(Control(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return static_cast<int>(item.lParam);
}

int CVeyrithView::GetImageCount() const {
    return ImageList_GetImageCount(m_result ? m_result->Images() : m_images);
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
        if (m_pHost) SendMessageA(m_pHost->HostWindow(), WM_COMMAND, MAKEWPARAM(ID_VIEW_THE_FILE, 0), 0);
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
    ListView_SortItems(Control(), &CVeyrithView::CompareRows, reinterpret_cast<LPARAM>(this));
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
    if (ListView_GetNextItem(Control(), -1, LVNI_SELECTED) < 0) return;
    if (!m_pHost) return;
    POINT screen = {};
    GetCursorPos(&screen);
    CPaneContextMenu menu(true);
    menu.Track(m_pHost->HostWindow(), screen);
}
