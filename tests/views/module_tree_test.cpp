// The module tree before any module was recorded: the start item, what a
// click on it does, the tree after a scan that found nothing, and the
// absence of a context menu on top-level items; the order and texts of
// module items with what each module watches. Real mouse input on a real
// tree control.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "pane_test_frame.h"
#include "resources/resource.h"
#include "scanner/loader_hooks.h"
#include "common/string_resource.h"
#include "test_support.h"

namespace {

class ModuleTree : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_frame.Ready()); }
    PaneTestFrame m_frame;
};

TEST_F(ModuleTree, StartsWithTheBoldStartItemThatStartsAScanWhenClicked) {
    CLeftView& tree = m_frame.Left();
    ASSERT_EQ(1u, tree.GetCount());
    HTREEITEM start = tree.GetRootItem();
    EXPECT_EQ(LoadResString(IDS_START_SCAN), tree.GetItemText(start));
    EXPECT_TRUE(tree.IsItemBold(start));
    EXPECT_EQ(CLeftView::kImageStart, tree.GetItemImage(start));
    EXPECT_EQ(nullptr, tree.GetParentItem(start));
    EXPECT_EQ(0x233u, GetWindowLongA(tree.Tree(), GWL_STYLE) & 0x233u);

    ClickAt(TreeItemCentre(tree.Tree(), start), false);
    EXPECT_EQ(1, m_frame.scanStarts);

    // A click beside every item starts nothing.
    RECT client = {};
    GetClientRect(tree.Tree(), &client);
    POINT empty = {client.right / 2, client.bottom - 5};
    ClientToScreen(tree.Tree(), &empty);
    ClickAt(empty, false);
    EXPECT_EQ(1, m_frame.scanStarts);
}

TEST_F(ModuleTree, RightClickOnATopLevelItemSelectsItButShowsNoMenu) {
    CLeftView& tree = m_frame.Left();
    HTREEITEM start = tree.GetRootItem();
    ClickAt(TreeItemCentre(tree.Tree(), start), true);
    EXPECT_EQ(start, tree.GetSelectedItem());
    EXPECT_TRUE(m_frame.menus.empty());
    EXPECT_TRUE(m_frame.commands.empty());
}

TEST_F(ModuleTree, NothingRecordedLeavesTheSingleEmptyResultItem) {
    ASSERT_TRUE(g_hookRequests.Copy().empty()) << "no hook runs in this test program";
    CLeftView& tree = m_frame.Left();
    m_frame.m_statusTexts.clear();

    ASSERT_TRUE(m_frame.Result().Empty());
    EXPECT_FALSE(tree.ShowModules());

    ASSERT_EQ(1u, tree.GetCount());
    HTREEITEM root = tree.GetRootItem();
    EXPECT_EQ(LoadResString(IDS_NO_MONITORING_MODULES), tree.GetItemText(root));
    EXPECT_TRUE(tree.IsItemBold(root));
    EXPECT_EQ(CLeftView::kImageRoot, tree.GetItemImage(root));
    EXPECT_EQ(nullptr, tree.GetSelectedItem());
    EXPECT_EQ(0, m_frame.List().GetRowCount());
    EXPECT_TRUE(m_frame.m_statusTexts.empty());

    // The empty-result item starts a new scan like the start item.
    ClickAt(TreeItemCentre(tree.Tree(), root), false);
    EXPECT_EQ(1, m_frame.scanStarts);
    // Selecting it refills the list for its text (nothing) and leaves the
    // status bar alone.
    EXPECT_EQ(root, tree.GetSelectedItem());
    EXPECT_EQ(0, m_frame.List().GetRowCount());
    EXPECT_TRUE(m_frame.m_statusTexts.empty());
}

TEST_F(ModuleTree, ModulesThatReadKeystrokesComeFirstWithWhatEachWatchesAfterItsName) {
    CScanResult& result = m_frame.Result();
    result.Add(CModuleFinding{L"c:\\x\\mouse.dll", 32, StageBit(STAGE_MOUSE)});
    result.Add(CModuleFinding{L"c:\\x\\keys.dll", 32, StageBit(STAGE_KEYBOARD) | StageBit(STAGE_WINDOW)});
    result.Add(CModuleFinding{L"c:\\x\\quiet.dll", 32, 0});
    result.Add(CModuleFinding{L"c:\\x\\posted.dll", 64,
                              StageBit(STAGE_POSTED_MESSAGE) | StageBit(STAGE_MOUSE) | StageBit(STAGE_KEYBOARD)});
    result.Add(CModuleFinding{L"c:\\x\\windows.dll", 32, StageBit(STAGE_SENT_MESSAGE) | StageBit(STAGE_WINDOW)});
    CLeftView& tree = m_frame.Left();
    ASSERT_TRUE(tree.ShowModules());

    // Those that read keystrokes in the result's order, then the others in it.
    const int order[] = {1, 3, 0, 2, 4};
    const wchar_t* const texts[] = {
        L"c:\\x\\keys.dll  \u2014 reads keystrokes, watches windows",
        L"(64-bit)  c:\\x\\posted.dll  \u2014 reads keystrokes, watches the mouse",
        L"c:\\x\\mouse.dll  \u2014 watches the mouse",
        L"c:\\x\\quiet.dll",
        L"c:\\x\\windows.dll  \u2014 watches windows",
    };
    HTREEITEM root = tree.GetRootItem();
    HTREEITEM item = TreeView_GetChild(tree.Tree(), root);
    for (int i = 0; i < 5; ++i, item = TreeView_GetNextSibling(tree.Tree(), item)) {
        ASSERT_NE(item, nullptr) << "item " << i;
        EXPECT_EQ(tree.GetItemText(item), texts[i]) << "item " << i;
        EXPECT_EQ(tree.GetItemModule(item), order[i]) << "item " << i;
    }
    EXPECT_EQ(item, nullptr);

    // The status bar tells the description and the facts of the selection.
    m_frame.m_statusTexts.clear();
    TreeView_SelectItem(tree.Tree(), TreeView_GetChild(tree.Tree(), root));
    EXPECT_EQ(tree.SelectedModule(), 1);
    ASSERT_FALSE(m_frame.m_statusTexts.empty());
    EXPECT_EQ(m_frame.m_statusTexts.back(),
              LoadResString(IDS_DESCRIPTION_ABSENT) + L"  \u2014 reads keystrokes, watches windows");
}

TEST_F(ModuleTree, ClearEmptiesAndTheQueriesHandleNoItem) {
    CLeftView& tree = m_frame.Left();
    tree.Clear();
    EXPECT_EQ(0u, tree.GetCount());
    EXPECT_EQ(nullptr, tree.GetSelectedItem());
    EXPECT_EQ(nullptr, tree.GetParentItem(nullptr));
    EXPECT_EQ(L"", tree.GetItemText(nullptr));
    tree.RefreshSelection();
    EXPECT_EQ(0, m_frame.List().GetRowCount());
}

}  // namespace
