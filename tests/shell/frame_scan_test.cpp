// A whole scan in the main window with the real timers, while sample hook
// hosts run: the module found, its affected applications in their alert
// colours, then the command rules by focus and selection on that result,
// a disabled command arriving as a real key press, the hidden-only box and
// the web links.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "../scanner/hook_host.h"
#include "frame_under_test.h"
#include "resources/resource.h"
#include "actions/confirm_dialogs.h"
#include "findings/findings.h"
#include "scanner/loader_hooks.h"
#include "shell/web_links.h"
#include "test_support.h"
#include "views/results_report.h"

using namespace testing_support;

namespace {

const char kAutorunValue[] = "VeyrithFrameScanTestHost";

class FrameScan : public ::testing::Test {
protected:
    // One scan for the suite: a hidden host that hooks the keyboard and
    // starts with Windows, and a visible host that only loads the module.
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        CreateDirectoryA(s_folder->File("mods").c_str(), nullptr);
        // The hosts share no more than the drive with the module, so that
        // the folder plays no part in their alert level.
        char hosts[MAX_PATH];
        wsprintfA(hosts, "C:\\veyrith-frame-%lu\\", GetCurrentProcessId());
        s_hostFolder = hosts;
        CreateDirectoryA(s_hostFolder.c_str(), nullptr);
        s_dll = s_folder->File("mods\\frame_watch.dll");
        s_hiddenExe = s_hostFolder + "hidden_host.exe";
        s_visibleExe = s_hostFolder + "visible_host.exe";
        s_hidden = new HookHost;
        s_visible = new HookHost;
        s_frame = new FrameUnderTest(App());
        s_ready = CopyFromBin("sample_hook.dll", s_dll) && CopyFromBin("sample_hook_host.exe", s_hiddenExe) &&
                  CopyFromBin("sample_hook_host.exe", s_visibleExe) &&
                  s_hidden->Start(s_hiddenExe, std::string("-hook keyboard -autorun ") + kAutorunValue +
                                                   " -dll " + Quoted(s_dll)) &&
                  s_visible->Start(s_visibleExe, "-hook none -window -dll " + Quoted(s_dll)) &&
                  s_frame->Create() && ScanWithF5();
    }

    static bool ScanWithF5() {
        FrameUnderTest& frame = *s_frame;
        frame.Focus(frame->Parts().leftView.Tree());
        PressKeys({VK_F5});
        if (!frame.PumpUntil(3000, [&] { return frame->Session().IsRunning(); })) return false;
        return frame.PumpUntil(30000, [&] { return !frame->Session().IsRunning(); }) &&
               frame.PumpUntil(30000, [&] { return !frame->Parts().listView.IsCensusRunning(); });
    }

    static void TearDownTestSuite() {
        delete s_frame;
        delete s_hidden;
        delete s_visible;
        DeleteTree(s_hostFolder);
        delete s_folder;
    }

    void SetUp() override { ASSERT_TRUE(s_ready) << "the hosts did not start or the scan did not run"; }

    FrameUnderTest& F() { return *s_frame; }
    CLeftView& Tree() { return F()->Parts().leftView; }
    CVeyrithView& List() { return F()->Parts().listView; }

    HTREEITEM ModuleItem() {
        HTREEITEM root = Tree().GetRootItem();
        return root ? TreeView_GetChild(Tree().Tree(), root) : nullptr;
    }
    int Row(const std::string& path) {
        for (int row = 0; row < List().GetRowCount(); ++row)
            if (lstrcmpiW(List().GetCellText(row, CVeyrithView::kColumnPath).c_str(), Wide(path).c_str()) == 0) return row;
        return -1;
    }
    void ShowModule() {
        F().FocusTreeItem(ModuleItem());
        F().Pump(50);
    }
    bool Enabled(UINT id) { return F()->Parts().commands.IsEnabled(id); }

    static TempFolder* s_folder;
    static std::string s_dll, s_hostFolder, s_hiddenExe, s_visibleExe;
    static HookHost* s_hidden;
    static HookHost* s_visible;
    static FrameUnderTest* s_frame;
    static bool s_ready;
};

TempFolder* FrameScan::s_folder = nullptr;
std::string FrameScan::s_dll, FrameScan::s_hostFolder, FrameScan::s_hiddenExe, FrameScan::s_visibleExe;
HookHost* FrameScan::s_hidden = nullptr;
HookHost* FrameScan::s_visible = nullptr;
FrameUnderTest* FrameScan::s_frame = nullptr;
bool FrameScan::s_ready = false;

TEST_F(FrameScan, ScanFindsTheSampleModuleAndShowsItsHostsInTheirAlertColours) {
    HTREEITEM root = Tree().GetRootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Tree().GetItemText(root), L"Files performing system-wide monitoring");
    HTREEITEM module = ModuleItem();
    ASSERT_NE(module, nullptr);
    // The path first, then what the module watches.
    EXPECT_EQ(0u, Lower(Tree().GetItemText(module)).find(Wide(Lower(s_dll)) + L"  "));
    EXPECT_EQ(Tree().GetSelectedItem(), module);

    EXPECT_EQ(F()->Parts().statusBar.PaneText(0), L"Scanning complete");
    EXPECT_EQ(F()->Parts().infoView.RequestedPage(), "HTML_SCANNING_COMPLETE");
    EXPECT_TRUE(Enabled(ID_EXPORT_RESULTS));
    EXPECT_TRUE(Enabled(ID_SCAN));

    int hidden = Row(s_hiddenExe), visible = Row(s_visibleExe);
    ASSERT_GE(hidden, 0);
    ASSERT_GE(visible, 0);
    const CListItemState& hiddenRecord = List().Records().GetAt(List().GetRowRecord(hidden));
    const CListItemState& visibleRecord = List().Records().GetAt(List().GetRowRecord(visible));
    EXPECT_EQ(hiddenRecord.m_crBack, kAlertColors[ALERT_HIDDEN_AUTORUN - 1].back);
    EXPECT_EQ(hiddenRecord.m_crText, kAlertColors[ALERT_HIDDEN_AUTORUN - 1].text);
    EXPECT_EQ(visibleRecord.m_crBack, kAlertColors[ALERT_VISIBLE - 1].back);
    EXPECT_EQ(visibleRecord.m_crText, kAlertColors[ALERT_VISIBLE - 1].text);
}

TEST_F(FrameScan, RulesFollowTheFocusedPaneAndItsSelection) {
    const UINT selectionCommands[] = {ID_EDIT_COPY, ID_PROPERTIES, ID_VIEW_THE_FILE, ID_QUARANTINE_FILE};

    // A module item in the tree: the file commands, not the process ones.
    ShowModule();
    for (UINT id : selectionCommands) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(ID_END_PROCESS));
    EXPECT_FALSE(Enabled(ID_REMOVE_FROM_AUTORUN));
    EXPECT_TRUE(F().MenuItemEnabled("&Action", ID_QUARANTINE_FILE));
    EXPECT_FALSE(F().MenuItemEnabled("&Action", ID_END_PROCESS));
    EXPECT_TRUE(F().ToolButtonEnabled(ID_EDIT_COPY));
    EXPECT_FALSE(F().ToolButtonEnabled(ID_END_PROCESS));
    EXPECT_EQ(Lower(F().ActionTarget().path), Wide(Lower(s_dll)));

    // The root item: nothing to act on.
    F().FocusTreeItem(Tree().GetRootItem());
    for (UINT id : selectionCommands) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(F().ToolButtonEnabled(ID_VIEW_THE_FILE));
    EXPECT_EQ(F().ActionTarget().path, L"");

    // Rows of the list; removal from autorun only for the host that has an entry.
    ShowModule();
    F().FocusListRow(Row(s_hiddenExe));
    for (UINT id : selectionCommands) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(ID_END_PROCESS));
    EXPECT_TRUE(Enabled(ID_REMOVE_FROM_AUTORUN));
    EXPECT_TRUE(F().ToolButtonEnabled(ID_REMOVE_FROM_AUTORUN));
    EXPECT_EQ(Lower(F().ActionTarget().path), Wide(Lower(s_hiddenExe)));

    F().FocusListRow(Row(s_visibleExe));
    EXPECT_TRUE(Enabled(ID_END_PROCESS));
    EXPECT_FALSE(Enabled(ID_REMOVE_FROM_AUTORUN));
    EXPECT_FALSE(F().MenuItemEnabled("&Action", ID_REMOVE_FROM_AUTORUN));

    F().FocusListRow(-1);
    for (UINT id : selectionCommands) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(ID_END_PROCESS));
    EXPECT_FALSE(Enabled(ID_REMOVE_FROM_AUTORUN));
}

TEST_F(FrameScan, DisabledCommandArrivingAsAKeyIsEaten) {
    // End process asks first; the question is counted and answered Cancel.
    int asked = 0;
    F().Desktop().answerDialog = [&](HWND, UINT templateId) {
        if (templateId == IDD_CONFIRM_KILL) ++asked;
        return static_cast<UINT>(IDCANCEL);
    };
    ShowModule();
    PressKeys({VK_SHIFT, VK_DELETE});
    F().Pump(150);
    EXPECT_EQ(asked, 0) << "End process ran for a tree item";

    // Keys arrive in order: once the second press has asked, the first has
    // been handled too, so exactly one question means the tree's was eaten.
    F().FocusListRow(Row(s_visibleExe));
    PressKeys({VK_SHIFT, VK_DELETE});
    F().PumpUntil(5000, [&] { return asked > 0; });
    F().Pump(50);
    F().Desktop().answerDialog = nullptr;
    EXPECT_EQ(asked, 1);
    EXPECT_GE(Row(s_visibleExe), 0);
}

TEST_F(FrameScan, HiddenOnlyBoxRefillsTheListAtOnce) {
    ShowModule();
    ASSERT_GE(Row(s_visibleExe), 0);
    HWND box = GetDlgItem(F()->Parts().commandBar.Handle(), IDC_HIDDEN_ONLY);
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(F()->IsHiddenOnlyChecked());
    EXPECT_EQ(Row(s_visibleExe), -1);
    EXPECT_GE(Row(s_hiddenExe), 0);
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_FALSE(F()->IsHiddenOnlyChecked());
    EXPECT_GE(Row(s_visibleExe), 0);
}

TEST_F(FrameScan, ExportWritesTheTreesModulesAndOpensTheReport) {
    TempFolder folder;
    std::string path = folder.File("scan.htm");
    FakeDesktop& desktop = F().FreshDesktop();
    desktop.choosePath = [&](HWND, std::wstring& out) {
        out = Wide(path);
        return true;
    };
    PressKeys({VK_CONTROL, 'S'});
    F().Pump(300);
    desktop.choosePath = nullptr;
    EXPECT_EQ(desktop.saveAsOwners, std::vector<HWND>{F().Handle()});
    EXPECT_EQ(desktop.openedReports, std::vector<std::wstring>{Wide(path)});
    std::string text = ReadTextFile(path);
    EXPECT_NE(text.find("1 file(s) performing system-wide monitoring  found"), std::string::npos);
    // The module's row, with what it watches in the third cell.
    EXPECT_NE(Lower(text).find("<tr><td bgcolor=#c0dbfd>" + Lower(s_dll) +
                               "</td><td bgcolor=#c0dbfd>sample keyboard monitor</td><td bgcolor=#c0dbfd>"),
              std::string::npos);
}

TEST_F(FrameScan, WebLinksOpenThePagesWithoutTheSelectionPath) {
    const std::vector<FakeDesktop::ShellCall>& opened = F().FreshDesktop().shellOpens;
    ShowModule();
    F().Command(ID_HELP_HOME_PAGE);
    F().FocusListRow(-1);
    F().Command(ID_HELP_SUPPORT);

    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].owner, F().Handle());
    EXPECT_EQ(opened[0].verb, "open");
    EXPECT_EQ(opened[0].file, L"http://www.veyrith.example/");
    EXPECT_EQ(opened[0].parameters, L"") << "a private path went to the browser";
    EXPECT_EQ(opened[0].show, 0);
    EXPECT_EQ(opened[1].file, L"http://www.veyrith.example/contacts.html");
    EXPECT_EQ(opened[1].parameters, L"");
}

}  // namespace
