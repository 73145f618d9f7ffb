#include "views/module_tree.h"

#include "census/watch_texts.h"
#include "common/owners.h"
#include "views/pane_context_menu.h"
#include "resources/resource.h"
#include "scanner/file_description.h"
#include "common/string_resource.h"
#include "views/pane_host.h"

namespace {

// Has buttons, has lines, no drag and drop, selection always shown, hot
// tracking.
constexpr DWORD kTreeStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_DISABLEDRAGDROP |
                              TVS_SHOWSELALWAYS | TVS_TRACKSELECT;
static_assert(kTreeStyles == 0x233, "tree styles");

constexpr UINT kTreeId = 1;

// What a module watches, as it follows the module's name or description;
// empty when the scan does not tell.
std::wstring FactsSuffix(const CModuleFinding& finding) {
    WatchFacts facts = finding.Watches();
    return facts ? LoadResString(IDS_WATCH_FACTS_LEAD) + WatchFactsText(facts) : std::wstring();
}

}  // namespace

CLeftView::CLeftView() {
    if (!m_images.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR24 | ILC_MASK, 0, 1))
        return;
    m_images.AddIconResource(ResourceModule(), IDI_MODULE);
    m_images.AddIconResource(ResourceModule(), IDI_MONITORING_ROOT);
    m_images.AddIconResource(ResourceModule(), IDI_START_SCAN);
}

// The window goes first, while the image list it shows still exists.
CLeftView::~CLeftView() {
    if (Handle()) Destroy();
}

bool CLeftView::Create(HWND parent, UINT id, CPaneHost* host, const CScanResult& result) {
    m_pHost = host;
    m_pResult = &result;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return CreatePane(parent, id);
}

bool CLeftView::OnCreate(CREATESTRUCTW& cs) {
    return CreateControl(WC_TREEVIEWW, kTreeStyles, WS_EX_CLIENTEDGE, kTreeId, cs) != nullptr;
}

void CLeftView::OnInitialUpdate() {
    TreeCtrl().SetImageList(m_images.Handle(), TVSIL_NORMAL);
    ShowStartItem();
}

void CLeftView::ShowStartItem() {
    Clear();
    TreeCtrl().InsertItem(TVI_ROOT, TVI_LAST, LoadResString(IDS_START_SCAN), kImageStart, kNoModule, TVIS_BOLD);
}

void CLeftView::Clear() { TreeCtrl().DeleteAllItems(); }

std::wstring CLeftView::ModuleItemText(int module) const {
    const CModuleFinding& finding = m_pResult->Finding(module);
    std::wstring mark = finding.Is64Bit() ? LoadResString(IDS_MODULE_64BIT_MARK) : std::wstring();
    return mark + finding.path + FactsSuffix(finding);
}

bool CLeftView::ShowModules() {
    Clear();
    fw::TreeViewCtrl tree = TreeCtrl();
    HTREEITEM root = tree.InsertItem(TVI_ROOT, TVI_LAST, LoadResString(IDS_MONITORING_FILES), kImageRoot,
                                     kNoModule, TVIS_BOLD | TVIS_EXPANDED);
    const int count = m_pResult ? m_pResult->Count() : 0;
    HTREEITEM firstRecorded = nullptr;
    for (int module : m_pResult ? ModulesInShownOrder(*m_pResult) : std::vector<int>()) {
        HTREEITEM item = tree.InsertItem(root, TVI_LAST, ModuleItemText(module), kImageModule, module);
        if (module == 0) firstRecorded = item;
    }
    if (count == 0)
        tree.SetItemText(root, LoadResString(IDS_NO_MONITORING_MODULES));
    else
        tree.Expand(root, TVE_EXPAND);
    if (firstRecorded && m_pResult->SelectFirst()) tree.Select(firstRecorded);
    return count > 0;
}

void CLeftView::RefreshSelection() {
    if (!m_pHost) return;
    int module = SelectedModule();
    // Only a module item's description, with what the module watches,
    // reaches the status bar.
    std::wstring description;
    if (module >= 0) {
        const CModuleFinding& finding = m_pResult->Finding(module);
        description = GetFileDescription(finding.path.c_str());
        if (description.empty()) description = LoadResString(IDS_DESCRIPTION_ABSENT);
        description += FactsSuffix(finding);
    }
    m_pHost->OnTreeSelection(module);
    if (module >= 0) m_pHost->SetMessageText(description);
}

bool CLeftView::HasFocus() const { return ControlHasFocus(); }

HTREEITEM CLeftView::GetSelectedItem() const { return TreeCtrl().Selection(); }

HTREEITEM CLeftView::GetParentItem(HTREEITEM item) const { return item ? TreeCtrl().ParentItem(item) : nullptr; }

std::wstring CLeftView::GetItemText(HTREEITEM item) const { return TreeCtrl().ItemText(item); }

int CLeftView::GetItemModule(HTREEITEM item) const {
    LPARAM data = kNoModule;
    if (!item || !GetParentItem(item) || !TreeCtrl().GetItemData(item, data)) return -1;
    int module = static_cast<int>(data);
    return m_pResult && m_pResult->IsModule(module) ? module : -1;
}

int CLeftView::SelectedModule() const { return GetItemModule(GetSelectedItem()); }

UINT CLeftView::GetCount() const { return TreeCtrl().Count(); }

HTREEITEM CLeftView::GetRootItem() const { return TreeCtrl().RootItem(); }

int CLeftView::GetItemImage(HTREEITEM item) const { return TreeCtrl().ItemImage(item); }

bool CLeftView::IsItemBold(HTREEITEM item) const {
    return item && (TreeCtrl().ItemState(item, TVIS_BOLD) & TVIS_BOLD) != 0;
}

LRESULT CLeftView::OnControlNotify(const NMHDR& header) {
    switch (header.code) {
    case TVN_SELCHANGEDW:
        OnSelectionChanged(reinterpret_cast<const NMTREEVIEWW&>(header));
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

void CLeftView::OnSelectionChanged(const NMTREEVIEWW& info) {
    if (info.itemNew.hItem && (TreeCtrl().ItemState(info.itemNew.hItem, TVIS_SELECTED) & TVIS_SELECTED))
        RefreshSelection();
}

HTREEITEM CLeftView::HitTestCursor(POINT* screenPoint) const {
    POINT point = {};
    GetCursorPos(&point);
    if (screenPoint) *screenPoint = point;
    ScreenToClient(Control(), &point);
    return TreeCtrl().HitTest(point);
}

void CLeftView::OnLeftClick() {
    HTREEITEM item = HitTestCursor(nullptr);
    if (!item) return;
    std::wstring text = GetItemText(item);
    if (text != LoadResString(IDS_START_SCAN) && text != LoadResString(IDS_NO_MONITORING_MODULES))
        return;
    if (m_pHost) m_pHost->StartScan();
}

void CLeftView::OnRightClick() {
    POINT screen = {};
    HTREEITEM item = HitTestCursor(&screen);
    if (!item) return;
    TreeCtrl().Select(item);
    if (!GetParentItem(item) || !m_pHost) return;
    CPaneContextMenu menu(false);
    menu.Track(m_pHost->HostWindow(), screen);
}

void CLeftView::OnDoubleClick() {
    if (m_pHost) SendMessageW(m_pHost->HostWindow(), WM_COMMAND, MAKEWPARAM(ID_VIEW_THE_FILE, 0), 0);
}
