#include "veyrith_view.h"

#include <cstring>
#include <vector>

#include "autorun/autorun_sources.h"
#include "pane_context_menu.h"
#include "resource.h"
#include "shell/frame_services.h"
#include "string_resource.h"

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

// Adds an icon to the image list and frees it, unless it is a shared
// system icon, which is never destroyed.
void AddIcon(HIMAGELIST images, HICON icon, bool owned) {
    ImageList_AddIcon(images, icon);
    if (owned) DestroyIcon(icon);
}

void AddIconResource(HIMAGELIST images, UINT id) {
    HICON icon = static_cast<HICON>(LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (icon) AddIcon(images, icon, true);
}

// The first small icon of an executable; the standard application icon
// when it has none.
// Row r shows image r + 2, so every row must add exactly one image: when the
// executable's own icon cannot be added, the standard one takes its place.
void AddExecutableIcon(HIMAGELIST images, const char* path) {
    HICON small = nullptr;
    if (ExtractIconExA(path, 0, nullptr, &small, 1) > 0 && small) {
        int index = ImageList_AddIcon(images, small);
        DestroyIcon(small);
        if (index >= 0) return;
    }
    AddIcon(images, LoadIconA(nullptr, IDI_APPLICATION), false);
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

bool CVeyrithView::Create(HWND parent, UINT id) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return CreatePane(parent, id);
}

bool CVeyrithView::OnCreate(CREATESTRUCTA& cs) {
    // The view owns the image list; the control must not destroy it.
    return CreateControl(WC_LISTVIEWA, WS_BORDER | LVS_SHAREIMAGELISTS, 0, kListId, cs) != nullptr;
}

void CVeyrithView::OnInitialUpdate() {
    ListView_SetImageList(Control(), m_images, LVSIL_SMALL);
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
    for (int i = ImageList_GetImageCount(m_images) - 1; i >= kFirstRowImage; --i)
        ImageList_Remove(m_images, i);
}

void CVeyrithView::Fill(const char* modulePath) {
    Reset();
    m_records.TakeCensus(modulePath);

    char ownPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    CFrameServices* services = GetFrameServices();
    bool hiddenOnly = services && services->IsHiddenOnlyChecked();

    int row = 0;
    for (int i = 0; i < m_records.GetCount(); ++i) {
        const CListItemState& record = m_records.GetAt(i);
        if (lstrcmpiA(record.m_szPath, ownPath) == 0) continue;
        if (hiddenOnly && record.m_bVisible) continue;
        AddRow(row, i);
        ++row;
    }
}

void CVeyrithView::AddRow(int row, int recordIndex) {
    const CListItemState& record = m_records.GetAt(recordIndex);
    AddExecutableIcon(m_images, record.m_szPath);

    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(record.m_szPath);
    item.iImage = row + kFirstRowImage;
    item.lParam = recordIndex;
    int inserted = static_cast<int>(SendMessageA(Control(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) return;

    bool visible = record.m_bVisible > 0;
    SetCell(inserted, kColumnVisibility, fw::LoadResString(visible ? IDS_VISIBLE : IDS_HIDDEN),
            record.m_bVisible ? kImageVisible : kImageHidden);
    SetCell(inserted, kColumnAutorun, AutoRunTypeText(record.m_autoRun.m_nType), -1);
    SetCell(inserted, kColumnDescription, record.m_szDescription, -1);
}

void CVeyrithView::SetCell(int row, int column, const std::string& text, int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    SendMessageA(Control(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool CVeyrithView::HasFocus() const { return ControlHasFocus(); }

bool CVeyrithView::GetSelectedRecord(CListItemState& record) const {
    int row = ListView_GetNextItem(Control(), -1, LVNI_SELECTED);
    int index = row >= 0 ? GetRowRecord(row) : -1;
    if (index < 0 || index >= m_records.GetCount()) return false;
    record = m_records.GetAt(index);
    return true;
}

std::string CVeyrithView::GetSelectedText() const {
    int row = ListView_GetNextItem(Control(), -1, LVNI_SELECTED);
    return row >= 0 ? GetCellText(row, kColumnPath) : std::string();
}

int CVeyrithView::GetRowCount() const { return ListView_GetItemCount(Control()); }

std::string CVeyrithView::GetCellText(int row, int column) const {
    std::vector<char> buffer(1024, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    SendMessageA(Control(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return std::string(buffer.data());
}

int CVeyrithView::GetRowRecord(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(Control(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return static_cast<int>(item.lParam);
}

int CVeyrithView::GetImageCount() const { return ImageList_GetImageCount(m_images); }

int CVeyrithView::CompareRecords(int first, int second) const {
    if (first < 0 || second < 0 || first >= m_records.GetCount() || second >= m_records.GetCount())
        return 0;
    const CListItemState& a = m_records.GetAt(m_bSortAscending ? first : second);
    const CListItemState& b = m_records.GetAt(m_bSortAscending ? second : first);
    switch (m_nSortColumn) {
    case kColumnPath:
        return Sign(strcmp(a.m_szPath, b.m_szPath));
    case kColumnVisibility:
        return CompareNumbers(a.m_bVisible, b.m_bVisible);
    case kColumnAutorun:
        return CompareNumbers(a.m_autoRun.m_nType, b.m_autoRun.m_nType);
    case kColumnDescription:
        return Sign(strcmp(a.m_szDescription, b.m_szDescription));
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
        if (CFrameServices* services = GetFrameServices())
            SendMessageA(services->FrameWindow(), WM_COMMAND, MAKEWPARAM(ID_VIEW_THE_FILE, 0), 0);
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
    CFrameServices* services = GetFrameServices();
    if (!services) return;
    services->SetMessageText(isSelected ? GetCellText(info.iItem, kColumnDescription) : std::string());
}

void CVeyrithView::OnRightClick() {
    if (ListView_GetNextItem(Control(), -1, LVNI_SELECTED) < 0) return;
    CFrameServices* services = GetFrameServices();
    if (!services) return;
    POINT screen = {};
    GetCursorPos(&screen);
    CPaneContextMenu menu(true);
    menu.Track(services->FrameWindow(), screen);
}
