#include "views/left_view.h"

#include <vector>

#include "views/pane_context_menu.h"
#include "resources/resource.h"
#include "scanner/file_description.h"
#include "scanner/loader_hooks.h"
#include "framework/string_resource.h"
#include "views/pane_host.h"

namespace {

// Has buttons, has lines, no drag and drop, selection always shown, hot
// tracking.
constexpr DWORD kTreeStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_DISABLEDRAGDROP |
                              TVS_SHOWSELALWAYS | TVS_TRACKSELECT;
static_assert(kTreeStyles == 0x233, "tree styles");

constexpr UINT kTreeId = 1;
// A module item's text is a path of any length, read whole.
constexpr size_t kItemTextChars = 32768;

HIMAGELIST CreateSmallImageList() {
    return ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                            ILC_COLOR24 | ILC_MASK, 0, 1);
}

// Adds an icon resource to an image list; the icon handle is freed at once.
void AddIconResource(HIMAGELIST images, UINT id) {
    HICON icon = static_cast<HICON>(LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (!icon) return;
    ImageList_AddIcon(images, icon);
    DestroyIcon(icon);
}

}  // namespace

CLeftView::CLeftView() {
    m_images = CreateSmallImageList();
    if (!m_images) return;
    AddIconResource(m_images, IDI_MODULE);
    AddIconResource(m_images, IDI_MONITORING_ROOT);
    AddIconResource(m_images, IDI_START_SCAN);
}

CLeftView::~CLeftView() {
    if (Handle()) DestroyWindow(Handle());
    if (m_images) ImageList_Destroy(m_images);
}

bool CLeftView::Create(HWND parent, UINT id, CPaneHost* host) {
    m_pHost = host;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return CreatePane(parent, id);
}

bool CLeftView::OnCreate(CREATESTRUCTA& cs) {
    return CreateControl(WC_TREEVIEWA, kTreeStyles, WS_EX_CLIENTEDGE, kTreeId, cs) != nullptr;
}

void CLeftView::OnInitialUpdate() {
    TreeView_SetImageList(Control(), m_images, TVSIL_NORMAL);
    ShowStartItem();
}

void CLeftView::ShowStartItem() {
    Clear();
    InsertItem(TVI_ROOT, fw::LoadResStringW(IDS_START_SCAN), kImageStart, TVIS_BOLD);
}

void CLeftView::Clear() { TreeView_DeleteAllItems(Control()); }

HTREEITEM CLeftView::InsertItem(HTREEITEM parent, const std::wstring& text, int image, UINT state, LPARAM data) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    insert.item.lParam = data;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.state = state;
    insert.item.stateMask = state;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(Control(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool CLeftView::FillModuleTree() { return FillModuleTree(CurrentModuleTreeItems()); }

bool CLeftView::FillModuleTree(const ModuleTreeItems& items) {
    Clear();
    HTREEITEM root = InsertItem(TVI_ROOT, fw::LoadResStringW(IDS_MONITORING_FILES), kImageRoot,
                                TVIS_BOLD | TVIS_EXPANDED);
    HTREEITEM first = nullptr;
    for (const std::wstring& name : items.names) {
        HTREEITEM item = InsertItem(root, name, kImageModule, 0);
        if (!first) first = item;
    }
    const std::wstring mark = fw::LoadResStringW(IDS_MODULE_64BIT_MARK);
    for (const std::wstring& name : items.names64) InsertItem(root, mark + name, kImageModule, 0, kItem64Bit);
    if (items.names.empty() && items.names64.empty()) {
        std::wstring text = fw::LoadResStringW(IDS_NO_MONITORING_MODULES);
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = root;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(Control(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        TreeView_Expand(Control(), root, TVE_EXPAND);
    }
    if (first && items.selectFirst) TreeView_SelectItem(Control(), first);
    return !items.names.empty() || !items.names64.empty();
}

void CLeftView::RefreshSelection() {
    if (!m_pHost) return;
    HTREEITEM item = GetSelectedItem();
    bool isModule = item && GetParentItem(item);
    std::wstring text = isModule ? GetItemModulePath(item) : item ? GetItemText(item) : std::wstring();
    // Only a module item's description reaches the status bar.
    std::wstring description;
    if (isModule) {
        description = GetFileDescription(text.c_str());
        if (description.empty()) description = fw::LoadResStringW(IDS_DESCRIPTION_ABSENT);
    }
    m_pHost->OnTreeSelection(text, isModule);
    if (isModule) m_pHost->SetMessageText(description);
}

bool CLeftView::HasFocus() const { return ControlHasFocus(); }

HTREEITEM CLeftView::GetSelectedItem() const { return TreeView_GetSelection(Control()); }

HTREEITEM CLeftView::GetParentItem(HTREEITEM item) const {
    return item ? TreeView_GetParent(Control(), item) : nullptr;
}

std::wstring CLeftView::GetItemText(HTREEITEM item) const {
    if (!item) return std::wstring();
    std::vector<wchar_t> buffer(kItemTextChars, L'\0');
    TVITEMW info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = buffer.data();
    info.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessageW(Control(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info))) return std::wstring();
    return std::wstring(info.pszText);
}

bool CLeftView::IsItem64Bit(HTREEITEM item) const {
    TVITEMA info = {};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    if (!item || !SendMessageA(Control(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return false;
    return info.lParam == kItem64Bit;
}

std::wstring CLeftView::GetItemModulePath(HTREEITEM item) const {
    std::wstring text = GetItemText(item);
    if (!IsItem64Bit(item)) return text;
    const std::wstring mark = fw::LoadResStringW(IDS_MODULE_64BIT_MARK);
    bool marked = text.compare(0, mark.size(), mark) == 0;
    return marked ? text.substr(mark.size()) : text;
}

UINT CLeftView::GetCount() const { return TreeView_GetCount(Control()); }

std::vector<std::wstring> CLeftView::ModuleItemTexts() const {
    std::vector<std::wstring> texts;
    HTREEITEM root = GetRootItem();
    HTREEITEM item = root ? TreeView_GetChild(Control(), root) : nullptr;
    for (; item; item = TreeView_GetNextSibling(Control(), item)) texts.push_back(GetItemModulePath(item));
    return texts;
}

HTREEITEM CLeftView::GetRootItem() const { return TreeView_GetRoot(Control()); }

int CLeftView::GetItemImage(HTREEITEM item) const {
    TVITEMA info = {};
    info.mask = TVIF_IMAGE;
    info.hItem = item;
    if (!item || !SendMessageA(Control(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return -1;
    return info.iImage;
}

bool CLeftView::IsItemBold(HTREEITEM item) const {
    return item && (TreeView_GetItemState(Control(), item, TVIS_BOLD) & TVIS_BOLD) != 0;
}

LRESULT CLeftView::OnControlNotify(const NMHDR& header) {
    switch (header.code) {
    case TVN_SELCHANGEDA:
        OnSelectionChanged(reinterpret_cast<const NMTREEVIEWA&>(header));
        break;
    case NM_CLICK:
        OnLeftClick();
        break;
    case NM_RCLICK:
        OnRightClick();
        break;
    case NM_DBLCLK:
        OnDoubleClick();
        break;
    }
    return 0;
}

void CLeftView::OnSelectionChanged(const NMTREEVIEWA& info) {
    if (info.itemNew.hItem && (TreeView_GetItemState(Control(), info.itemNew.hItem, TVIS_SELECTED) &
                               TVIS_SELECTED))
        RefreshSelection();
}

HTREEITEM CLeftView::HitTestCursor(POINT* screenPoint) const {
    POINT point = {};
    GetCursorPos(&point);
    if (screenPoint) *screenPoint = point;
    TVHITTESTINFO hit = {};
    hit.pt = point;
    ScreenToClient(Control(), &hit.pt);
    return TreeView_HitTest(Control(), &hit);
}

void CLeftView::OnLeftClick() {
    HTREEITEM item = HitTestCursor(nullptr);
    if (!item) return;
    std::wstring text = GetItemText(item);
    if (text != fw::LoadResStringW(IDS_START_SCAN) && text != fw::LoadResStringW(IDS_NO_MONITORING_MODULES))
        return;
    if (m_pHost) m_pHost->StartScan();
}

void CLeftView::OnRightClick() {
    POINT screen = {};
    HTREEITEM item = HitTestCursor(&screen);
    if (!item) return;
    TreeView_SelectItem(Control(), item);
    if (!GetParentItem(item) || !m_pHost) return;
    CPaneContextMenu menu(false);
    menu.Track(m_pHost->HostWindow(), screen);
}

void CLeftView::OnDoubleClick() {
    if (m_pHost) SendMessageA(m_pHost->HostWindow(), WM_COMMAND, MAKEWPARAM(ID_VIEW_THE_FILE, 0), 0);
}
