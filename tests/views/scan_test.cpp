// Whole scans of the real scan session, through its progress dialog over the
// real running processes and with its self-test: first with no hook
// anywhere, then with the sample hook host running; the result it writes
// and the panes that show it. Each scan a few seconds under Wine.
#include <gtest/gtest.h>

#include "../scanner/hook_host.h"
#include "common/executable_folder.h"
#include "pane_test_frame.h"
#include "resources/resource.h"
#include "common/string_resource.h"
#include "test_support.h"
#include "views/info_pages.h"

using namespace testing_support;

namespace {

// Starts a scan and pumps messages until its dialog runs; false on time-out.
bool StartScan(CScanSession& session, DWORD timeoutMs = 5000) {
    session.Start(ExecutableFolder());
    DWORD start = GetTickCount();
    while (!session.Dialog().IsRunning() && GetTickCount() - start < timeoutMs) PumpMessages(20);
    return session.Dialog().IsRunning();
}

// Pumps messages until the scan has ended; false on time-out.
bool WaitForScanEnd(CScanSession& session, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (session.IsRunning() && GetTickCount() - start < timeoutMs) PumpMessages(50);
    return !session.IsRunning();
}

DWORD GuiObjects(DWORD kind) { return GetGuiResources(GetCurrentProcess(), kind); }

// Checks the dialog while it runs: it shows processes, keeps its heading
// font and path ellipsis, and ignores Enter, Escape and a close request.
void CheckRunningDialog(CScanIndicatorDlg& dialog, PaneTestFrame& frame) {
    HFONT boldFont = frame.BoldFont();
    ASSERT_TRUE(dialog.IsRunning());
    EXPECT_TRUE(dialog.Start(&frame)) << "a second start keeps the running dialog";
    HWND window = dialog.Handle();
    EXPECT_EQ(boldFont, reinterpret_cast<HFONT>(SendDlgItemMessageA(window, IDC_SCAN_HEADING, WM_GETFONT, 0, 0)));
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(window, IDC_SCAN_PATH), GWL_STYLE) & SS_PATHELLIPSIS);
    PumpMessages(450);
    EXPECT_GT(dialog.ProcessIndex(), 0u);
    EXPECT_FALSE(dialog.ShownPath().empty());
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendDlgItemMessageA(window, IDC_SCAN_ICON, STM_GETICON, 0, 0)));
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(dialog.IsRunning());
}

TEST(Scan, EndsByItselfWithTheResultOfTheWalk) {
    PaneTestFrame frame;
    ASSERT_TRUE(frame.Ready());
    EXPECT_EQ(kInitialInfoPage, frame.Info().RequestedPage());
    CScanSession session(frame, frame);
    CLeftView& tree = frame.Left();

    // No hook runs: the walk ends with the empty result, confirmed by the
    // self-test.
    ASSERT_TRUE(StartScan(session));
    CheckRunningDialog(session.Dialog(), frame);
    ASSERT_TRUE(WaitForScanEnd(session, 60000));
    EXPECT_TRUE(frame.Result().Empty());
    EXPECT_TRUE(frame.Result().Confirmed());
    ASSERT_EQ(1u, tree.GetCount());
    EXPECT_EQ(LoadResString(IDS_NO_MONITORING_MODULES), tree.GetItemText(tree.GetRootItem()));
    EXPECT_EQ(nullptr, tree.GetSelectedItem());
    ASSERT_FALSE(frame.m_statusTexts.empty());
    EXPECT_EQ(LoadResString(IDS_SCANNING_COMPLETE), frame.m_statusTexts.back());
    EXPECT_EQ(kSpyNotDetectedPage, frame.Info().RequestedPage());
    DWORD gdiAfterFirst = GuiObjects(GR_GDIOBJECTS);
    DWORD userAfterFirst = GuiObjects(GR_USEROBJECTS);

    // The sample hook host runs: the result holds its module, 32-bit, with
    // the host in its census; the module's item carries its index and is
    // selected, and the list shows the host.
    TempFolder folder;
    std::string dll = folder.File("scan_monitor.dll");
    ASSERT_TRUE(CopyFromBin("sample_hook.dll", dll));
    HookHost host;
    ASSERT_TRUE(host.Start(BinDir() + "sample_hook_host.exe", "-hook keyboard -dll " + Quoted(dll)));
    ASSERT_TRUE(StartScan(session));
    ASSERT_TRUE(WaitForScanEnd(session, 60000));
    ASSERT_TRUE(WaitForCensus(frame.List()));

    const CScanResult& result = frame.Result();
    int module = result.Find(Wide(Lower(dll)));
    ASSERT_GE(module, 0);
    EXPECT_EQ(Wide(Lower(dll)), result.Finding(module).path) << "the path as recorded";
    EXPECT_FALSE(result.Finding(module).Is64Bit());
    ASSERT_TRUE(result.HasCensus(module));
    bool hostInCensus = false;
    for (const CListItemState& record : result.Hosts(module)) hostInCensus |= record.m_dwProcessId == host.Id();
    EXPECT_TRUE(hostInCensus);

    HTREEITEM selected = tree.GetSelectedItem();
    ASSERT_NE(nullptr, selected);
    EXPECT_EQ(0, module) << "the first module recorded comes first";
    EXPECT_EQ(module, tree.GetItemModule(selected));
    EXPECT_EQ(0u, tree.GetItemText(selected).find(Wide(Lower(dll)) + L"  "));
    EXPECT_EQ(LoadResString(IDS_MONITORING_FILES), tree.GetItemText(tree.GetParentItem(selected)));
    EXPECT_EQ(LoadResString(IDS_SCANNING_COMPLETE), frame.m_statusTexts.back());
    EXPECT_EQ(kScanningCompletePage, frame.Info().RequestedPage());
    EXPECT_EQ(module, frame.List().ShownModule());
    bool hostShown = false;
    for (int row = 0; row < frame.List().GetRowCount(); ++row) {
        const CListItemState& record = frame.List().Records().GetAt(frame.List().GetRowRecord(row));
        if (record.m_dwProcessId == host.Id()) hostShown = true;
    }
    EXPECT_TRUE(hostShown);

    // Each scan showed tens of process icons; none of them stays behind.
    // The second scan's list holds one row icon, hence the small allowance.
    EXPECT_LE(GuiObjects(GR_GDIOBJECTS), gdiAfterFirst + 8);
    EXPECT_LE(GuiObjects(GR_USEROBJECTS), userAfterFirst + 8);
    EXPECT_TRUE(host.Stop());
}

// A walk that ends before the stages of the provocation have run ends the
// scan once they have, within the self-test's time.
TEST(Scan, StoppingTheWalkEndsTheScanOnceTheProvocationHasRunWithItsVerdict) {
    PaneTestFrame frame;
    ASSERT_TRUE(frame.Ready());
    CScanSession session(frame, frame);
    ASSERT_TRUE(StartScan(session));
    session.Dialog().Stop();
    EXPECT_FALSE(session.Dialog().IsRunning());
    for (DWORD waited = 0; session.IsRunning() && waited < 2 * CScanSession::kSelfTestReadyMs; waited += 20)
        PumpMessages(20);
    EXPECT_FALSE(session.IsRunning());
    EXPECT_EQ(0u, frame.Result().StagesNotRun());
    // The status is the verdict the session wrote into the result.
    ASSERT_FALSE(frame.m_statusTexts.empty());
    EXPECT_EQ(LoadResString(frame.Result().VerdictTextId()), frame.m_statusTexts.back());
    EXPECT_EQ(LoadResString(session.Checks().StatusTextId()), frame.m_statusTexts.back());
    EXPECT_GE(frame.Left().GetCount(), 1u);
    EXPECT_EQ(PageAfterScan(frame.Result()), frame.Info().RequestedPage());
    EXPECT_FALSE(frame.Info().RequestedPage() == kInitialInfoPage);
}

}  // namespace
