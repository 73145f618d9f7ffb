// The affected-applications list and the module tree with a real recorded
// module: real host processes that load a copy of the sample module, the
// census behind each fill, the rows, their colours, sorting, the context
// menus and the status texts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "../scanner/hook_host.h"
#include "pane_test_frame.h"
#include "resources/resource.h"
#include "findings/findings.h"
#include "scanner/loader_hooks.h"
#include "scanner/own_modules.h"
#include "common/string_resource.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const UINT kContextCommands[] = {ID_QUARANTINE_FILE, ID_REMOVE_FROM_AUTORUN, ID_VIEW_THE_FILE, ID_EDIT_COPY,
                                 ID_PROPERTIES};

int FindRow(CVeyrithView& list, const std::string& path) {
    for (int row = 0; row < list.GetRowCount(); ++row)
        if (lstrcmpiW(list.GetCellText(row, CVeyrithView::kColumnPath).c_str(), Wide(path).c_str()) == 0) return row;
    return -1;
}

// A folder right below C:\ for the host programs, so that they share no
// more than the drive with the module in the temporary folder.
std::string HostFolder() {
    char path[MAX_PATH];
    wsprintfA(path, "C:\\veyrith-views-%lu-%lu\\", GetCurrentProcessId(), GetTickCount());
    return path;
}

class AffectedList : public ::testing::Test {
protected:
    // Both hosts load the module and are shared by the tests; only the
    // second shows a window, only the first installs a keyboard hook.
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        s_hostFolder = HostFolder();
        CreateDirectoryA(s_hostFolder.c_str(), nullptr);
        CreateDirectoryA(s_folder->File("mods").c_str(), nullptr);
        s_dll = s_folder->File("mods\\watcher.dll");
        s_hiddenExe = s_hostFolder + "a_hidden_host.exe";
        s_visibleExe = s_hostFolder + "b_visible_host.exe";
        s_hidden = new HookHost;
        s_visible = new HookHost;
        s_ready = CopyFromBin("sample_hook.dll", s_dll) && CopyFromBin("sample_hook_host.exe", s_hiddenExe) &&
                  CopyFromBin("sample_hook_host.exe", s_visibleExe) &&
                  s_hidden->Start(s_hiddenExe, "-hook keyboard -dll " + Quoted(s_dll)) &&
                  s_visible->Start(s_visibleExe, "-hook none -window -dll " + Quoted(s_dll));
    }

    static void TearDownTestSuite() {
        delete s_hidden;
        delete s_visible;
        DeleteTree(s_hostFolder);
        delete s_folder;
    }

    void SetUp() override {
        ASSERT_TRUE(s_ready) << "the sample hook hosts did not start";
        ASSERT_TRUE(m_frame.Ready());
        m_dll = s_dll;
        m_hiddenExe = s_hiddenExe;
        m_visibleExe = s_visibleExe;
    }

    int HiddenRow() { return FindRow(m_frame.List(), m_hiddenExe); }
    int VisibleRow() { return FindRow(m_frame.List(), m_visibleExe); }

    LRESULT CustomDraw(DWORD stage, int row, NMLVCUSTOMDRAW& draw) {
        HWND list = m_frame.List().List();
        draw = NMLVCUSTOMDRAW();
        draw.nmcd.hdr.hwndFrom = list;
        draw.nmcd.hdr.idFrom = GetDlgCtrlID(list);
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = stage;
        draw.nmcd.dwItemSpec = row;
        draw.nmcd.lItemlParam = row >= 0 ? m_frame.List().GetRowRecord(row) : 0;
        draw.iSubItem = 2;
        draw.clrText = RGB(1, 2, 3);
        draw.clrTextBk = RGB(4, 5, 6);
        return SendMessageA(m_frame.List(), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    }

    void ClickHeader(int column) {
        NMLISTVIEW info = {};
        HWND list = m_frame.List().List();
        info.hdr.hwndFrom = list;
        info.hdr.idFrom = GetDlgCtrlID(list);
        info.hdr.code = LVN_COLUMNCLICK;
        info.iItem = -1;
        info.iSubItem = column;
        SendMessageA(m_frame.List(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    }

    int RowImage(int row) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageA(m_frame.List().List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }

    std::string FirstRowPath() { return Narrow(m_frame.List().GetCellText(0, CVeyrithView::kColumnPath)); }

    PaneTestFrame m_frame;
    std::string m_dll, m_hiddenExe, m_visibleExe;

    static TempFolder* s_folder;
    static std::string s_hostFolder, s_dll, s_hiddenExe, s_visibleExe;
    static HookHost* s_hidden;
    static HookHost* s_visible;
    static bool s_ready;
};

TempFolder* AffectedList::s_folder = nullptr;
std::string AffectedList::s_hostFolder, AffectedList::s_dll, AffectedList::s_hiddenExe, AffectedList::s_visibleExe;
HookHost* AffectedList::s_hidden = nullptr;
HookHost* AffectedList::s_visible = nullptr;
bool AffectedList::s_ready = false;

TEST_F(AffectedList, RowsShowEveryHostButNeverThisProcess) {
    HMODULE own = LoadLibraryA(m_dll.c_str());
    ASSERT_NE(nullptr, own);
    CVeyrithView& list = m_frame.List();

    ASSERT_TRUE(ShowAndWait(m_frame, Lower(m_dll)));

    ASSERT_EQ(3, list.Records().GetCount()) << "census: both hosts and this process";
    ASSERT_EQ(2, list.GetRowCount());
    int hidden = HiddenRow(), visible = VisibleRow();
    ASSERT_GE(hidden, 0);
    ASSERT_GE(visible, 0);
    // Each row shows its executable's own image, after the two marks.
    EXPECT_GE(RowImage(hidden), 2);
    EXPECT_GE(RowImage(visible), 2);
    EXPECT_LT(RowImage(hidden), list.GetImageCount());
    EXPECT_LT(RowImage(visible), list.GetImageCount());
    EXPECT_EQ(LoadResString(IDS_HIDDEN), list.GetCellText(hidden, CVeyrithView::kColumnVisibility));
    EXPECT_EQ(LoadResString(IDS_VISIBLE), list.GetCellText(visible, CVeyrithView::kColumnVisibility));
    EXPECT_EQ(LoadResString(IDS_AUTORUN_NONE), list.GetCellText(hidden, CVeyrithView::kColumnAutorun));
    EXPECT_EQ(L"Sample hook host", list.GetCellText(hidden, CVeyrithView::kColumnDescription));
    for (int row = 0; row < 2; ++row) {
        const CListItemState& record = list.Records().GetAt(list.GetRowRecord(row));
        EXPECT_EQ(0, lstrcmpiW(record.m_szPath, list.GetCellText(row, 0).c_str()));
        EXPECT_NE(GetCurrentProcessId(), record.m_dwProcessId);
    }

    // Hidden only: the visible host goes, and comes back when unchecked.
    m_frame.SetHiddenOnly(true);
    ASSERT_TRUE(ShowAndWait(m_frame, Lower(m_dll)));
    ASSERT_EQ(1, list.GetRowCount());
    EXPECT_EQ(0, HiddenRow());
    EXPECT_GE(RowImage(0), 2);
    m_frame.SetHiddenOnly(false);
    ASSERT_TRUE(ShowAndWait(m_frame, Lower(m_dll)));
    EXPECT_EQ(2, list.GetRowCount());

    list.Reset();
    EXPECT_EQ(0, list.GetRowCount());
    EXPECT_EQ(0, list.Records().GetCount());
    // A new scan drops the census and its images; the marks stay.
    list.DropCensus();
    EXPECT_EQ(2, list.GetImageCount());
    FreeLibrary(own);
}

TEST_F(AffectedList, EveryCellIsDrawnInItsRowsAlertColours) {
    ASSERT_TRUE(ShowAndWait(m_frame, Lower(m_dll)));
    ASSERT_EQ(2, m_frame.List().GetRowCount());

    NMLVCUSTOMDRAW draw;
    EXPECT_EQ(CDRF_NOTIFYITEMDRAW, CustomDraw(CDDS_PREPAINT, -1, draw));
    EXPECT_EQ(CDRF_NOTIFYSUBITEMDRAW, CustomDraw(CDDS_ITEMPREPAINT, HiddenRow(), draw));
    EXPECT_EQ(CDRF_DODEFAULT, CustomDraw(CDDS_ITEMPOSTPAINT, HiddenRow(), draw));

    // Module and hosts share only the drive, so the hidden host is level 4
    // and the visible one level 6.
    const AlertColors& hiddenLevel = kAlertColors[ALERT_HIDDEN - 1];
    const AlertColors& visibleLevel = kAlertColors[ALERT_VISIBLE - 1];
    const CListItemState& hiddenRecord = m_frame.List().Records().GetAt(m_frame.List().GetRowRecord(HiddenRow()));
    ASSERT_EQ(hiddenLevel.back, hiddenRecord.m_crBack) << "the census placed the host elsewhere";

    EXPECT_EQ(CDRF_DODEFAULT, CustomDraw(CDDS_SUBITEM | CDDS_ITEMPREPAINT, HiddenRow(), draw));
    EXPECT_EQ(hiddenLevel.back, draw.clrTextBk);
    EXPECT_EQ(hiddenLevel.text, draw.clrText);
    CustomDraw(CDDS_SUBITEM | CDDS_ITEMPREPAINT, VisibleRow(), draw);
    EXPECT_EQ(visibleLevel.back, draw.clrTextBk);
    EXPECT_EQ(visibleLevel.text, draw.clrText);
}

TEST_F(AffectedList, OneSortDirectionFlipsAcrossAllHeaders) {
    CVeyrithView& list = m_frame.List();
    EXPECT_TRUE(list.IsSortAscending());
    ASSERT_TRUE(ShowAndWait(m_frame, Lower(m_dll)));
    ASSERT_EQ(2, list.GetRowCount());

    ClickHeader(CVeyrithView::kColumnVisibility);  // ascending: hidden (0) first
    EXPECT_EQ(m_hiddenExe, FirstRowPath());
    EXPECT_FALSE(list.IsSortAscending());
    ClickHeader(CVeyrithView::kColumnPath);  // descending: b_visible first
    EXPECT_EQ(m_visibleExe, FirstRowPath());
    ClickHeader(CVeyrithView::kColumnVisibility);  // ascending again
    EXPECT_EQ(m_hiddenExe, FirstRowPath());
    ClickHeader(CVeyrithView::kColumnDescription);  // descending, equal texts
    EXPECT_EQ(CVeyrithView::kColumnDescription, list.SortColumn());
    EXPECT_TRUE(list.IsSortAscending());
    ClickHeader(CVeyrithView::kColumnPath);  // ascending: a_hidden first
    EXPECT_EQ(m_hiddenExe, FirstRowPath());

    // The direction persists across fills; an empty list does not sort.
    ASSERT_TRUE(ShowAndWait(m_frame, Lower(m_dll)));
    ClickHeader(CVeyrithView::kColumnPath);  // descending
    EXPECT_EQ(m_visibleExe, FirstRowPath());
    EXPECT_TRUE(list.IsSortAscending());
    list.Reset();
    ClickHeader(CVeyrithView::kColumnPath);
    EXPECT_TRUE(list.IsSortAscending());
}

TEST_F(AffectedList, SelectionStatusContextMenuAndDoubleClick) {
    CVeyrithView& list = m_frame.List();
    ASSERT_TRUE(ShowAndWait(m_frame, Lower(m_dll)));
    ASSERT_EQ(2, list.GetRowCount());
    POINT row = ListRowCentre(list.List(), 0);

    CListItemState record;
    EXPECT_FALSE(list.GetSelectedRecord(record));
    EXPECT_EQ(L"", list.GetSelectedText());
    NotifyPane(list, list.List(), NM_RCLICK, row);
    EXPECT_TRUE(m_frame.menus.empty()) << "no menu without a selected row";

    m_frame.m_statusTexts.clear();
    SelectRow(list.List(), 0);
    ASSERT_FALSE(m_frame.m_statusTexts.empty());
    EXPECT_EQ(L"Sample hook host", m_frame.m_statusTexts.back());
    ASSERT_TRUE(list.GetSelectedRecord(record));
    EXPECT_EQ(list.GetCellText(0, 0), list.GetSelectedText());
    EXPECT_EQ(0, lstrcmpiW(record.m_szPath, list.GetSelectedText().c_str()));

    NotifyPane(list, list.List(), NM_RCLICK, row);
    ASSERT_EQ(1u, m_frame.menus.size());
    const OpenedMenu& menu = m_frame.menus[0];
    EXPECT_TRUE(menu.Has(ID_END_PROCESS));
    for (UINT id : kContextCommands) EXPECT_TRUE(menu.Has(id)) << id;
    EXPECT_EQ(static_cast<UINT>(ID_VIEW_THE_FILE), menu.defaultId);

    NotifyPane(list, list.List(), NM_DBLCLK, row);
    ASSERT_EQ(1u, m_frame.commands.size());
    EXPECT_EQ(static_cast<UINT>(ID_VIEW_THE_FILE), m_frame.commands[0]);

    SelectRow(list.List(), -1);
    EXPECT_EQ(L"", m_frame.m_statusTexts.back());
    EXPECT_FALSE(list.GetSelectedRecord(record));
}

TEST_F(AffectedList, TreeShowsTheRecordedModuleSelectedAndFillsTheList) {
    m_frame.ProvokeHooks();
    ASSERT_FALSE(g_hookRequests.Copy().empty()) << "the window manager did not ask for the module";
    ASSERT_EQ(Wide(Lower(m_dll)), g_hookRequests.Copy()[0].name);
    CLeftView& tree = m_frame.Left();
    m_frame.m_statusTexts.clear();

    // The result holds the detected module, as a scan writes it; the tree
    // shows it and the list takes its census.
    m_frame.Result().SetFound(CurrentDetectedModules(), {});
    m_frame.List().TakeCensus();
    EXPECT_TRUE(tree.ShowModules());
    ASSERT_TRUE(WaitForCensus(m_frame.List()));

    HTREEITEM root = tree.GetRootItem();
    EXPECT_EQ(LoadResString(IDS_MONITORING_FILES), tree.GetItemText(root));
    EXPECT_TRUE(tree.IsItemBold(root));
    HTREEITEM module = tree.GetSelectedItem();
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(root, tree.GetParentItem(module));
    EXPECT_EQ(0u, tree.GetItemText(module).find(Wide(Lower(m_dll)) + L"  "));
    // The item's data is the index of its module in the result.
    ASSERT_EQ(0, tree.GetItemModule(module));
    EXPECT_EQ(Wide(Lower(m_dll)), m_frame.Result().Finding(0).path);
    EXPECT_EQ(-1, tree.GetItemModule(root));
    EXPECT_FALSE(tree.IsItemBold(module));
    EXPECT_EQ(CLeftView::kImageModule, tree.GetItemImage(module));
    ASSERT_FALSE(m_frame.m_statusTexts.empty());
    EXPECT_EQ(0u, m_frame.m_statusTexts.back().find(L"Sample keyboard monitor  "));
    EXPECT_GE(HiddenRow(), 0);
    EXPECT_GE(VisibleRow(), 0);

    // Selecting the root refills the list for a text that names no module
    // and leaves the status bar alone.
    size_t texts = m_frame.m_statusTexts.size();
    TreeView_SelectItem(tree.Tree(), root);
    EXPECT_EQ(0, m_frame.List().GetRowCount());
    EXPECT_EQ(texts, m_frame.m_statusTexts.size());

    // A real right click on the module item selects it and opens the menu
    // without End process, View the file as its default.
    ClickAt(TreeItemCentre(tree.Tree(), module), true);
    EXPECT_EQ(module, tree.GetSelectedItem());
    ASSERT_EQ(1u, m_frame.menus.size());
    const OpenedMenu& menu = m_frame.menus[0];
    EXPECT_FALSE(menu.Has(ID_END_PROCESS));
    for (UINT id : kContextCommands) EXPECT_TRUE(menu.Has(id)) << id;
    EXPECT_EQ(static_cast<UINT>(ID_VIEW_THE_FILE), menu.defaultId);
    EXPECT_EQ(0, m_frame.scanStarts) << "a module item never starts a scan";

    NotifyPane(tree, tree.Tree(), NM_DBLCLK, TreeItemCentre(tree.Tree(), module));
    ASSERT_FALSE(m_frame.commands.empty());
    EXPECT_EQ(static_cast<UINT>(ID_VIEW_THE_FILE), m_frame.commands.back());
}

}  // namespace
