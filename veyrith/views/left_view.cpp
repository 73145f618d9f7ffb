#include "left_view.h"

#include <vector>

#include "pane_context_menu.h"
#include "resource.h"
#include "scanner/file_description.h"
#include "scanner/loader_hooks.h"
#include "scanner/own_modules.h"
#include "shell/frame_services.h"
#include "string_resource.h"
#include "veyrith_view.h"

namespace {

// Has buttons, has lines, no drag and drop, selection always shown, hot
// tracking.
constexpr DWORD kTreeStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_DISABLEDRAGDROP |
                              TVS_SHOWSELALWAYS | TVS_TRACKSELECT;
static_assert(kTreeStyles == 0x233, "tree styles");

constexpr UINT kTreeId = 1;

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

bool CLeftView::Create(HWND parent, UINT id) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    RECT rect = {};
    GetClientRect(parent, &rect);
    return fw::Window::Create(parent, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0,
                              rect.right, rect.bottom,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) &&
           m_tree;
}

bool CLeftView::OnCreate(CREATESTRUCTA& cs) {
    m_tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | kTreeStyles,
                             0, 0, cs.cx, cs.cy, Handle(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTreeId)),
                             GetModuleHandleA(nullptr), nullptr);
    return m_tree != nullptr;
}

void CLeftView::OnInitialUpdate() {
    TreeView_SetImageList(m_tree, m_images, TVSIL_NORMAL);
    InsertItem(TVI_ROOT, fw::LoadResString(IDS_START_SCAN), kImageStart, true);
}

void CLeftView::Clear() { TreeView_DeleteAllItems(m_tree); }

HTREEITEM CLeftView::InsertItem(HTREEITEM parent, const std::string& text, int image, bool bold) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    if (bold) {
        insert.item.state = TVIS_BOLD | TVIS_EXPANDED;
        insert.item.stateMask = TVIS_BOLD | TVIS_EXPANDED;
    }
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(m_tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool CLeftView::FillModuleTree() {
    Clear();
    CFrameServices* services = GetFrameServices();
    if (services && services->ListView()) services->ListView()->Reset();

    CSimpleStrArray ownModules(0, 1);
    GetOwnModuleNames(ownModules);
    ModuleTreeItems items = ChooseModuleTreeItems(g_monitoringModules, ownModules);

    HTREEITEM root = InsertItem(TVI_ROOT, fw::LoadResString(IDS_MONITORING_FILES), kImageRoot, true);
    HTREEITEM first = nullptr;
    for (const std::string& name : items.names) {
        HTREEITEM item = InsertItem(root, name, kImageModule, false);
        if (!first) first = item;
    }
    if (items.names.empty()) {
        std::string text = fw::LoadResString(IDS_NO_MONITORING_MODULES);
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = root;
        item.pszText = const_cast<char*>(text.c_str());
        SendMessageA(m_tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        TreeView_Expand(m_tree, root, TVE_EXPAND);
    }
    if (first && items.selectFirst) TreeView_SelectItem(m_tree, first);
    return !items.names.empty();
}

void CLeftView::RefreshSelection() {
    CFrameServices* services = GetFrameServices();
    if (!services) return;
    HTREEITEM item = GetSelectedItem();
    std::string text = item ? GetItemText(item) : std::string();
    bool isModule = item && GetParentItem(item);
    // Only a module item's description reaches the status bar.
    std::string description;
    if (isModule) {
        description = GetFileDescription(text.c_str());
        if (description.empty()) description = fw::LoadResString(IDS_DESCRIPTION_ABSENT);
    }
    if (CVeyrithView* list = services->ListView()) list->Fill(text.c_str());
    if (isModule) services->SetMessageText(description);
}

bool CLeftView::HasFocus() const { return m_tree && GetFocus() == m_tree; }

HTREEITEM CLeftView::GetSelectedItem() const { return TreeView_GetSelection(m_tree); }

HTREEITEM CLeftView::GetParentItem(HTREEITEM item) const {
    return item ? TreeView_GetParent(m_tree, item) : nullptr;
}

std::string CLeftView::GetItemText(HTREEITEM item) const {
    if (!item) return std::string();
    // Module names are paths, well below this limit; labels are short.
    std::vector<char> buffer(1024, '\0');
    TVITEMA info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = buffer.data();
    info.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return std::string();
    return std::string(info.pszText);
}

UINT CLeftView::GetCount() const { return TreeView_GetCount(m_tree); }

HTREEITEM CLeftView::GetRootItem() const { return TreeView_GetRoot(m_tree); }

int CLeftView::GetItemImage(HTREEITEM item) const {
    TVITEMA info = {};
    info.mask = TVIF_IMAGE;
    info.hItem = item;
    if (!item || !SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return -1;
    return info.iImage;
}

bool CLeftView::IsItemBold(HTREEITEM item) const {
    return item && (TreeView_GetItemState(m_tree, item, TVIS_BOLD) & TVIS_BOLD) != 0;
}

LRESULT CLeftView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE:
        if (m_tree) MoveWindow(m_tree, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (m_tree) SetFocus(m_tree);
        return 0;
    case WM_CONTEXTMENU:
        // The tree's own menu comes from its right-click notification;
        // the request must not travel on to the frame.
        return 0;
    }
    return fw::Window::OnMessage(msg, wParam, lParam);
}

LRESULT CLeftView::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != m_tree) return 0;
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
    if (info.itemNew.hItem && (TreeView_GetItemState(m_tree, info.itemNew.hItem, TVIS_SELECTED) &
                               TVIS_SELECTED))
        RefreshSelection();
}

HTREEITEM CLeftView::HitTestCursor(POINT* screenPoint) const {
    POINT point = {};
    GetCursorPos(&point);
    if (screenPoint) *screenPoint = point;
    TVHITTESTINFO hit = {};
    hit.pt = point;
    ScreenToClient(m_tree, &hit.pt);
    return TreeView_HitTest(m_tree, &hit);
}

void CLeftView::OnLeftClick() {
    HTREEITEM item = HitTestCursor(nullptr);
    if (!item) return;
    std::string text = GetItemText(item);
    if (text != fw::LoadResString(IDS_START_SCAN) && text != fw::LoadResString(IDS_NO_MONITORING_MODULES))
        return;
    if (CFrameServices* services = GetFrameServices()) services->StartScan();
}

void CLeftView::OnRightClick() {
    POINT screen = {};
    HTREEITEM item = HitTestCursor(&screen);
    if (!item) return;
    TreeView_SelectItem(m_tree, item);
    if (!GetParentItem(item)) return;
    CFrameServices* services = GetFrameServices();
    if (!services) return;
    CPaneContextMenu menu(false);
    menu.Track(services->FrameWindow(), screen);
}

void CLeftView::OnDoubleClick() {
    CFrameServices* services = GetFrameServices();
    if (services) SendMessageA(services->FrameWindow(), WM_COMMAND, MAKEWPARAM(ID_VIEW_THE_FILE, 0), 0);
}
