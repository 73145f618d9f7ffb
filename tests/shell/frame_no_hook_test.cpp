// A whole scan in the main window with the real timers while no
// system-wide hook is installed: the nothing-found result, Export disabled
// before and after, and a click on the result item starting a new scan.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "frame_under_test.h"
#include "resources/resource.h"
#include "self_test_processes.h"

namespace {

POINT ItemCentre(HWND tree, HTREEITEM item) {
    RECT rect = {};
    TreeView_GetItemRect(tree, item, &rect, TRUE);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tree, &point);
    return point;
}

TEST(FrameScanWithoutHooks, NothingFoundAndAClickOnTheResultScansAgain) {
    FakeDesktop desktop;
    CVeyrithApp app(desktop);
    FrameUnderTest frame(app);
    ASSERT_TRUE(frame.Create());
    EXPECT_FALSE(frame->Parts().commands.IsEnabled(ID_EXPORT_RESULTS));

    // The self-test's host runs while the scan does, and ends with it; its
    // module, which the scan recorded, is in neither the tree nor the status.
    frame.Command(ID_SCAN);
    EXPECT_TRUE(frame.PumpUntil(10000, [&] { return frame->Session().IsRunning() && CountSelfTestHosts() > 0; }));
    ASSERT_TRUE(frame.PumpUntil(30000, [&] { return !frame->Session().IsRunning(); }));
    EXPECT_TRUE(NoSelfTestHostsWithin(5000));
    // A 32-bit system has no 64-bit programs to look at.
    EXPECT_FALSE(frame->Session().Checks().ProbeUsed());
    CLeftView& tree = frame->Parts().leftView;
    ASSERT_EQ(tree.GetCount(), 1u);
    HTREEITEM only = tree.GetRootItem();
    EXPECT_EQ(tree.GetItemText(only), L"No system-wide monitoring modules detected");
    EXPECT_EQ(frame->Parts().infoView.RequestedPage(), "HTML_SPY_NOT_DETECTED");
    EXPECT_EQ(frame->Parts().statusBar.PaneText(0), L"Scanning complete");
    EXPECT_FALSE(frame->Parts().commands.IsEnabled(ID_EXPORT_RESULTS));
    EXPECT_FALSE(frame.MenuItemEnabled("&File", ID_EXPORT_RESULTS));
    EXPECT_EQ(frame->Parts().listView.GetRowCount(), 0);

    ClickAt(ItemCentre(tree.Tree(), only));
    EXPECT_TRUE(frame.PumpUntil(2000, [&] { return frame->Session().IsRunning(); }));
    EXPECT_EQ(frame->Parts().statusBar.PaneText(0), L"Intelligent scanning is in progress...");
    EXPECT_TRUE(frame.PumpUntil(30000, [&] { return !frame->Session().IsRunning(); }));
    EXPECT_EQ(tree.GetItemText(tree.GetRootItem()), L"No system-wide monitoring modules detected");
}

}  // namespace
