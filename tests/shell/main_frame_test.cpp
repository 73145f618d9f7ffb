// The main window as the application creates it: layout and bars, the
// command rules before any scan, the bar and pane toggles, the draggable
// splitter bar, pane cycling with F6, menu prompts, help, and the close
// rules while a scan runs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "frame_under_test.h"
#include "resources/resource.h"
#include "common/string_resource.h"
#include "framework/command_table.h"

namespace {

// All tests share one application object, as the program has one.
class MainFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_frame = new FrameUnderTest(App());
        s_created = s_frame->Create();
    }
    static void TearDownTestSuite() {
        delete s_frame;
    }
    void SetUp() override { ASSERT_TRUE(s_created); }

    FrameUnderTest& F() { return *s_frame; }
    RECT ScreenRect(HWND window) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect;
    }
    int InfoHeight() {
        RECT rect = ScreenRect(F()->Parts().infoView.Handle());
        return rect.bottom - rect.top;
    }

    static FrameUnderTest* s_frame;
    static bool s_created;
};

FrameUnderTest* MainFrame::s_frame = nullptr;
bool MainFrame::s_created = false;

TEST_F(MainFrame, CaptionMenusBarsAndPanesAreLaidOut) {
    char caption[64] = {};
    GetWindowTextA(F().Handle(), caption, sizeof(caption));
    EXPECT_STREQ(caption, "Veyrith");

    HMENU bar = GetMenu(F().Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    for (const char* title : {"&File", "&Edit", "&View", "&Action", "&Help"})
        EXPECT_NE(F().MenuBarPopup(title), nullptr) << title;

    const std::vector<UINT> buttons = {ID_SCAN, ID_EXPORT_RESULTS, 0, ID_QUARANTINE_FILE, ID_END_PROCESS,
                                       ID_REMOVE_FROM_AUTORUN, 0, ID_QUARANTINED_FILES, 0, ID_VIEW_THE_FILE,
                                       ID_EDIT_COPY, 0, ID_PROPERTIES, 0, ID_HELP_CONTENTS, ID_APP_EXIT};
    EXPECT_EQ(F()->Parts().toolBar.Commands(), buttons);
    EXPECT_EQ(F()->Parts().toolBar.ButtonCount(), 16);

    // Toolbar and command bar each on a row of their own.
    EXPECT_EQ(F()->Parts().reBar.BandCount(), 2);
    EXPECT_EQ(F()->Parts().reBar.RowCount(), 2);
    HWND box = GetDlgItem(F()->Parts().commandBar.Handle(), IDC_HIDDEN_ONLY);
    char text[64] = {};
    GetWindowTextA(box, text, sizeof(text));
    EXPECT_STREQ(text, "&Show hidden apllications only");
    EXPECT_FALSE(F()->IsHiddenOnlyChecked());

    EXPECT_EQ(F()->Parts().statusBar.PaneCount(), 4);
    EXPECT_EQ(F()->Parts().statusBar.PaneText(0), L"Ready");

    // Tree left (250 px), list right, info pane below; the top row took half
    // of the client height when the frame was made.
    RECT client = {};
    GetClientRect(F().Handle(), &client);
    EXPECT_EQ(F()->Parts().innerSplitter->SideSize(0), 250);
    EXPECT_EQ(F()->Parts().outerSplitter->SideSize(0), client.bottom / 2);
    RECT tree = ScreenRect(F()->Parts().leftView.Handle()), list = ScreenRect(F()->Parts().listView.Handle());
    RECT info = ScreenRect(F()->Parts().infoView.Handle()), rebar = ScreenRect(F()->Parts().reBar.Handle());
    EXPECT_LT(tree.right, list.left + 1);
    EXPECT_EQ(tree.top, list.top);
    EXPECT_LE(tree.bottom, info.top);
    EXPECT_LE(rebar.bottom, tree.top);
    EXPECT_EQ(F()->Parts().innerSplitter->Level(), 1);
    EXPECT_EQ(GetDlgCtrlID(F()->Parts().innerSplitter->Handle()), GetDlgCtrlID(F()->Parts().outerSplitter->Handle()));

    MINMAXINFO limits = {};
    SendMessageA(F().Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 300);
    EXPECT_EQ(limits.ptMinTrackSize.y, 300);
}

TEST_F(MainFrame, BeforeTheFirstScanOnlyScanAndTheGeneralCommandsAreEnabled) {
    ASSERT_EQ(F()->Parts().leftView.GetCount(), 1u);
    F().FocusTreeItem(F()->Parts().leftView.GetRootItem());
    EXPECT_FALSE(F().MenuItemEnabled("&File", ID_EXPORT_RESULTS));
    EXPECT_TRUE(F().MenuItemEnabled("&File", ID_APP_EXIT));
    EXPECT_TRUE(F().MenuItemEnabled("&Action", ID_SCAN));
    // The start item is no module: nothing for the file commands.
    for (UINT id : {ID_QUARANTINE_FILE, ID_END_PROCESS, ID_VIEW_THE_FILE, ID_REMOVE_FROM_AUTORUN})
        EXPECT_FALSE(F().MenuItemEnabled("&Action", id)) << id;
    EXPECT_FALSE(F().MenuItemEnabled("&Edit", ID_EDIT_COPY));
    EXPECT_FALSE(F().MenuItemEnabled("&View", ID_PROPERTIES));
    // The quarantine manager opens at any time.
    EXPECT_TRUE(F().MenuItemEnabled("&View", ID_QUARANTINED_FILES));
    EXPECT_TRUE(F().MenuItemEnabled("&Help", ID_HELP_HOME_PAGE));

    EXPECT_FALSE(F().ToolButtonEnabled(ID_EXPORT_RESULTS));
    EXPECT_FALSE(F().ToolButtonEnabled(ID_VIEW_THE_FILE));
    EXPECT_TRUE(F().ToolButtonEnabled(ID_SCAN));
    EXPECT_TRUE(F().ToolButtonEnabled(ID_HELP_CONTENTS));
    EXPECT_EQ(F().ActionTarget().path, L"");
}

TEST_F(MainFrame, BarTogglesHideAndShowTheBarsWithTheirCheckMarks) {
    RECT before = ScreenRect(F()->Parts().outerSplitter->Handle());
    for (UINT id : {ID_VIEW_TOOLBAR, ID_VIEW_COMMAND_BAR, ID_VIEW_STATUS_BAR})
        EXPECT_TRUE(F().MenuItemChecked("&View", id)) << id;

    F().Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(IsWindowVisible(F()->Parts().toolBar.Handle()));
    EXPECT_FALSE(F().MenuItemChecked("&View", ID_VIEW_TOOLBAR));
    F().Command(ID_VIEW_COMMAND_BAR);
    EXPECT_FALSE(IsWindowVisible(F()->Parts().commandBar.Handle()));
    EXPECT_FALSE(F().MenuItemChecked("&View", ID_VIEW_COMMAND_BAR));
    F().Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(IsWindowVisible(F()->Parts().statusBar.Handle()));
    EXPECT_FALSE(F().MenuItemChecked("&View", ID_VIEW_STATUS_BAR));
    // The panes took the room of the bars.
    RECT hidden = ScreenRect(F()->Parts().outerSplitter->Handle());
    EXPECT_LT(hidden.top, before.top);
    EXPECT_GT(hidden.bottom, before.bottom);

    for (UINT id : {ID_VIEW_TOOLBAR, ID_VIEW_COMMAND_BAR, ID_VIEW_STATUS_BAR}) F().Command(id);
    for (UINT id : {ID_VIEW_TOOLBAR, ID_VIEW_COMMAND_BAR, ID_VIEW_STATUS_BAR})
        EXPECT_TRUE(F().MenuItemChecked("&View", id)) << id;
    RECT shown = ScreenRect(F()->Parts().outerSplitter->Handle());
    EXPECT_EQ(shown.top, before.top);
    EXPECT_EQ(shown.bottom, before.bottom);
}

TEST_F(MainFrame, InfoBarComesBackAtTheHeightTheUserDraggedItTo) {
    // Drag the bar between the upper panes and the info pane up by 40 px.
    ST_SplitterWnd& outer = *F()->Parts().outerSplitter;
    RECT bar = outer.BarRect();
    POINT grip = {(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
    ClientToScreen(outer.Handle(), &grip);
    int heightBefore = InfoHeight();
    SetCursorPos(grip.x, grip.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    F().Pump(50);
    SetCursorPos(grip.x, grip.y - 40);
    mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    F().Pump(50);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    F().Pump(50);
    int dragged = InfoHeight();
    EXPECT_EQ(dragged, heightBefore + 40);

    F().Command(ID_VIEW_INFO_BAR);
    EXPECT_FALSE(IsWindowVisible(F()->Parts().infoView.Handle()));
    EXPECT_FALSE(F().MenuItemChecked("&View", ID_VIEW_INFO_BAR));
    RECT upper = ScreenRect(F()->Parts().innerSplitter->Handle()), all = ScreenRect(outer.Handle());
    EXPECT_EQ(upper.bottom, all.bottom);

    // A taller frame while the pane is hidden does not change its height.
    RECT frame = ScreenRect(F().Handle());
    SetWindowPos(F().Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    F().Pump(50);
    F().Command(ID_VIEW_INFO_BAR);
    EXPECT_TRUE(IsWindowVisible(F()->Parts().infoView.Handle()));
    EXPECT_TRUE(F().MenuItemChecked("&View", ID_VIEW_INFO_BAR));
    EXPECT_EQ(InfoHeight(), dragged);
    SetWindowPos(F().Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    F().Pump(50);
}

TEST_F(MainFrame, HidingTheInfoBarTakesTheFocusOutOfIt) {
    F().Focus(F()->Parts().infoView.Handle());
    ASSERT_TRUE(F()->Parts().infoView.HasFocus());
    F().Command(ID_VIEW_INFO_BAR);
    EXPECT_FALSE(F()->Parts().infoView.HasFocus());
    HWND focus = GetFocus();
    EXPECT_TRUE(focus && IsChild(F()->Parts().innerSplitter->Handle(), focus));
    F().Command(ID_VIEW_INFO_BAR);
}

TEST_F(MainFrame, F6AndShiftF6MoveTheFocusThroughThePanes) {
    F().Focus(F()->Parts().leftView.Tree());
    PressKeys({VK_F6});
    F().Pump(100);
    EXPECT_TRUE(F()->Parts().listView.HasFocus());
    PressKeys({VK_F6});
    F().Pump(100);
    EXPECT_TRUE(F()->Parts().infoView.HasFocus());
    PressKeys({VK_F6});
    F().Pump(100);
    EXPECT_TRUE(F()->Parts().leftView.HasFocus());
    PressKeys({VK_SHIFT, VK_F6});
    F().Pump(100);
    EXPECT_TRUE(F()->Parts().infoView.HasFocus());
    PressKeys({VK_SHIFT, VK_F6});
    F().Pump(100);
    EXPECT_TRUE(F()->Parts().listView.HasFocus());
}

TEST_F(MainFrame, MenuItemsShowTheirPromptAndButtonsTheirTooltip) {
    HMENU action = F().MenuBarPopup("&Action");
    SendMessageA(F().Handle(), WM_MENUSELECT, MAKEWPARAM(ID_SCAN, MF_STRING), reinterpret_cast<LPARAM>(action));
    EXPECT_EQ(F()->Parts().statusBar.PaneText(0), L"Scan your system for spyware");
    SendMessageA(F().Handle(), WM_MENUSELECT, MAKEWPARAM(ID_HELP_HOME_PAGE, MF_STRING),
                 reinterpret_cast<LPARAM>(F().MenuBarPopup("&Help")));
    EXPECT_EQ(F()->Parts().statusBar.PaneText(0), L"Go to product's homepage in the Internet");
    SendMessageA(F().Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(F()->Parts().statusBar.PaneText(0), L"Ready");

    // The frame is a Unicode window: its toolbar's tooltips ask in UTF-16.
    NMTTDISPINFOW tip = {};
    tip.hdr.hwndFrom = F()->Parts().toolBar.Handle();
    tip.hdr.idFrom = ID_END_PROCESS;
    tip.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(F().Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_STREQ(tip.lpszText, L"End process");
    tip.hdr.idFrom = ID_SCAN;
    tip.lpszText = nullptr;
    SendMessageW(F().Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_EQ(std::wstring(tip.lpszText), fw::CommandTable::Tooltip(ID_SCAN));
    EXPECT_FALSE(std::wstring(tip.lpszText).empty());
}

TEST_F(MainFrame, HelpKeyOpensNoMessageWhenTheHelpFileIsMissing) {
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    F().Focus(F()->Parts().leftView.Tree());
    PressKeys({VK_F1});
    F().Pump(300);
    // The help runtime was asked (it is registered in this system) and
    // nothing was said about the missing file.
    EXPECT_FALSE(F()->Parts().htmlHelp.HasFailed());
    EXPECT_FALSE(F()->Parts().htmlHelp.LoadedFrom().empty());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(IsWindow(F().Handle()));
}

// Closing while a scan runs: each frame of its own, since it ends.
class ClosingFrame : public ::testing::Test {
protected:
    void SetUp() override {
        m_frame = std::make_unique<FrameUnderTest>(App());
        ASSERT_TRUE(m_frame->Create());
        m_frame->Command(ID_SCAN);
        ASSERT_TRUE(m_frame->PumpUntil(2000, [&] { return (*m_frame)->Session().IsRunning(); }));
        m_dialog = (*m_frame)->Session().Dialog().Handle();
    }
    std::unique_ptr<FrameUnderTest> m_frame;
    HWND m_dialog = nullptr;
};

TEST_F(ClosingFrame, AskingOnceAndNoKeepsFrameAndScanRunning) {
    FakeDesktop& boxes = m_frame->FreshDesktop(IDNO);
    EXPECT_FALSE(m_frame->MenuItemEnabled("&Action", ID_SCAN));
    EXPECT_FALSE(m_frame->ToolButtonEnabled(ID_SCAN));
    SendMessageA(m_frame->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    m_frame->Pump(50);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Scanning is not complete. Quit application anyway?");
    EXPECT_EQ(boxes.boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_TRUE(m_frame->Exists());
    EXPECT_TRUE((*m_frame)->Session().IsRunning());
    EXPECT_EQ((*m_frame)->Session().Dialog().Handle(), m_dialog);

    // Exit with Yes: the scan ends (its last steps run) and the program ends.
    boxes.boxAnswer = IDYES;
    m_frame->Command(ID_APP_EXIT);
    EXPECT_EQ(boxes.boxes.size(), 2u);
    EXPECT_FALSE(IsWindow(m_dialog));
    EXPECT_FALSE(m_frame->Exists());
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(ClosingFrame, UninstallerMessageClosesWithoutAsking) {
    FakeDesktop& boxes = m_frame->FreshDesktop(IDNO);
    PostMessageA(m_frame->Handle(), WM_USER, 0, 0);
    m_frame->Pump(100);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(IsWindow(m_dialog));
    EXPECT_FALSE(m_frame->Exists());
    EXPECT_TRUE(TakeQuitMessage());
}

}  // namespace
