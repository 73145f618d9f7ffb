// Every scan of the main window ends: a series of F5 scans while another
// thread reads the status bar the way screen readers and automation tools
// do, a progress dialog that cannot be opened, a scan tick that arrives
// while the dialog is closing, and a timer of the frame that is not the
// scan's. The sample hook host runs, so each scan ends with a module found
// and its census.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <string>

#include "../scanner/hook_host.h"
#include "frame_under_test.h"
#include "resources/resource.h"
#include "common/string_resource.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const DWORD kScanTimeoutMs = 60000;

// Reads the frame and its status bar from its own thread until stopped, as
// a reader of another program does: texts, their lengths, the panes and the
// accessible object. Every read waits for the frame's thread to answer.
class StatusBarReader {
public:
    StatusBarReader(HWND frame, HWND statusBar, DWORD periodMs)
        : m_frame(frame), m_statusBar(statusBar), m_periodMs(periodMs) {
        m_thread = CreateThread(nullptr, 0, &StatusBarReader::Run, this, 0, nullptr);
    }
    ~StatusBarReader() {
        m_stop = true;
        if (!m_thread) return;
        // A read may be waiting for this thread: answer it while waiting.
        MSG msg;
        while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0)
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        CloseHandle(m_thread);
    }
    bool Started() const { return m_thread != nullptr; }
    long Answered() const { return m_answered; }

private:
    static DWORD WINAPI Run(void* param) {
        static_cast<StatusBarReader*>(param)->ReadUntilStopped();
        return 0;
    }
    bool Ask(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, 5000, &result) != 0;
    }
    void ReadUntilStopped() {
        char text[512];
        while (!m_stop) {
            bool answered = Ask(m_frame, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text)) &&
                            Ask(m_statusBar, WM_GETTEXTLENGTH, 0, 0) &&
                            Ask(m_statusBar, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text)) &&
                            Ask(m_statusBar, SB_GETPARTS, 0, 0) &&
                            Ask(m_statusBar, SB_GETTEXTLENGTHA, 0, 0) &&
                            Ask(m_statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text)) &&
                            Ask(m_statusBar, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)) &&
                            Ask(m_frame, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
            if (answered) ++m_answered;
            Sleep(m_periodMs);
        }
    }

    HWND m_frame, m_statusBar;
    DWORD m_periodMs;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_answered{0};
};

// What one scan went through, step by step, as the frame shows it.
struct ScanSteps {
    bool tick = false;          // the tick cleared the tree and said a scan runs
    bool dialogOpened = false;  // the progress dialog existed
    bool dialogClosed = false;  // and is gone again
    bool treeRebuilt = false;   // the tree holds a result again
    std::string status;

    bool Ended() const { return dialogClosed && treeRebuilt && status == Narrow(LoadResString(IDS_SCANNING_COMPLETE)); }
    std::string Describe() const {
        auto said = [](bool done) { return done ? "yes" : "NO"; };
        return std::string("tick: ") + said(tick) + ", progress dialog opened: " + said(dialogOpened) +
               ", closed: " + said(dialogClosed) + ", tree rebuilt: " + said(treeRebuilt) + ", status: \"" +
               status + "\"";
    }
};

class FrameScanEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        s_hookHost = new HookHost;
        s_frame = new FrameUnderTest(App());
        std::string dll = s_folder->File("scan_end_watch.dll");
        s_ready = CopyFromBin("sample_hook.dll", dll) &&
                  s_hookHost->Start(BinDir() + "sample_hook_host.exe", "-hook keyboard -dll " + Quoted(dll)) &&
                  s_frame->Create();
    }
    static void TearDownTestSuite() {
        delete s_frame;
        delete s_hookHost;
        delete s_folder;
    }
    void SetUp() override { ASSERT_TRUE(s_ready) << "the hook host or the frame did not start"; }

    FrameUnderTest& F() { return *s_frame; }
    CLeftView& Tree() { return F()->Parts().leftView; }
    std::string Status() { return Narrow(F()->Parts().statusBar.PaneText(0)); }
    std::string RootText() { return Narrow(Tree().GetItemText(Tree().GetRootItem())); }

    // Presses F5 in the tree and follows the scan until it has ended or the
    // time is up. The status is reset first, so that only this scan's end
    // counts.
    ScanSteps ScanWithF5() {
        ScanSteps steps;
        F().Focus(Tree().Tree());
        F()->SetMessageText(LoadResString(IDS_IDLE_MESSAGE));
        PressKeys({VK_F5});
        const std::string inProgress = Narrow(LoadResString(IDS_SCANNING_IN_PROGRESS));
        F().PumpUntil(kScanTimeoutMs, [&] {
            steps.status = Status();
            if (!steps.tick) steps.tick = steps.status == inProgress && Tree().GetCount() == 0;
            if (F()->Session().IsRunning()) steps.dialogOpened = true;
            steps.dialogClosed = steps.dialogOpened && !F()->Session().IsRunning();
            steps.treeRebuilt = steps.tick && Tree().GetCount() > 0;
            return steps.Ended();
        });
        return steps;
    }

    static TempFolder* s_folder;
    static HookHost* s_hookHost;
    static FrameUnderTest* s_frame;
    static bool s_ready;
};

TempFolder* FrameScanEnd::s_folder = nullptr;
HookHost* FrameScanEnd::s_hookHost = nullptr;
FrameUnderTest* FrameScanEnd::s_frame = nullptr;
bool FrameScanEnd::s_ready = false;

TEST_F(FrameScanEnd, EveryScanEndsWhileAnotherThreadReadsTheStatusBar) {
    const int kScans = 12;
    StatusBarReader reader(F().Handle(), F()->Parts().statusBar.Handle(), 100);
    ASSERT_TRUE(reader.Started());
    for (int scan = 1; scan <= kScans; ++scan) {
        ScanSteps steps = ScanWithF5();
        ASSERT_TRUE(steps.Ended()) << "scan " << scan << " of " << kScans << " did not end within "
                                   << kScanTimeoutMs / 1000 << " s; " << steps.Describe();
        EXPECT_EQ(RootText(), Narrow(LoadResString(IDS_MONITORING_FILES))) << "scan " << scan;
    }
    EXPECT_GT(reader.Answered(), 0) << "the reader was never answered during the scans";
}

// Refuses the creation of every top-level window the frame would own.
HWND g_refusingOwner = nullptr;
LRESULT CALLBACK RefuseOwnedWindows(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (create->hwndParent == g_refusingOwner && !(create->style & WS_CHILD)) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(FrameScanEnd, ProgressDialogThatCannotOpenIsReportedAndLeavesTheWindowReady) {
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    g_refusingOwner = F().Handle();
    HHOOK refuse = SetWindowsHookExA(WH_CBT, &RefuseOwnedWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(refuse, nullptr);
    F().Focus(Tree().Tree());
    PressKeys({VK_F5});
    bool reported = F().PumpUntil(kScanTimeoutMs, [&] { return !boxes.boxes.empty(); });
    UnhookWindowsHookEx(refuse);

    ASSERT_TRUE(reported) << "nothing was said; status: \"" << Status() << "\", tree items: " << Tree().GetCount();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, Narrow(LoadResString(IDS_SCAN_NOT_STARTED)));
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(Status(), Narrow(LoadResString(IDS_IDLE_MESSAGE)));
    ASSERT_EQ(Tree().GetCount(), 1u);
    EXPECT_EQ(RootText(), Narrow(LoadResString(IDS_START_SCAN)));
    EXPECT_FALSE(F()->Session().IsRunning());
    EXPECT_TRUE(F()->Parts().commands.IsEnabled(ID_SCAN));

    // The window stays usable: the next scan runs to its end.
    ScanSteps steps = ScanWithF5();
    EXPECT_TRUE(steps.Ended()) << steps.Describe();
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

// Sends the scan session its scan tick as the scan dialog (owned by the
// frame) returns from WM_DESTROY: its end steps have run and its window
// still exists, as when a loop nested in the end steps dispatches a tick
// armed meanwhile.
HWND g_dialogOwner = nullptr;
HWND g_tickTarget = nullptr;
int g_lateTicks = 0;
LRESULT CALLBACK TickAsTheDialogCloses(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DESTROY && g_tickTarget &&
        GetWindow(call->hwnd, GW_OWNER) == g_dialogOwner) {
        ++g_lateTicks;
        SendMessageA(g_tickTarget, WM_TIMER, CScanSession::kScanTimerId, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(FrameScanEnd, TickArrivingWhileTheDialogClosesLeavesTheScanComplete) {
    ASSERT_TRUE(ScanWithF5().Ended()) << "the session's window comes with its first scan";
    ASSERT_NE(F()->Session().Window(), nullptr);
    g_dialogOwner = F().Handle();
    g_tickTarget = F()->Session().Window();
    g_lateTicks = 0;
    HHOOK late = SetWindowsHookExA(WH_CALLWNDPROCRET, &TickAsTheDialogCloses, nullptr, GetCurrentThreadId());
    ASSERT_NE(late, nullptr);
    ScanSteps steps = ScanWithF5();
    UnhookWindowsHookEx(late);
    g_tickTarget = nullptr;

    EXPECT_EQ(g_lateTicks, 1);
    EXPECT_TRUE(steps.Ended()) << steps.Describe();
    EXPECT_EQ(RootText(), Narrow(LoadResString(IDS_MONITORING_FILES)));
    EXPECT_FALSE(F()->Session().IsRunning());
}

TEST_F(FrameScanEnd, TimerThatIsNotTheScansStartsNoScan) {
    ASSERT_TRUE(ScanWithF5().Ended());
    const UINT kOtherTimer = CScanSession::kScanTimerId + 1;
    PostMessageW(F().Handle(), WM_TIMER, CScanSession::kScanTimerId, 0);
    PostMessageW(F()->Session().Window(), WM_TIMER, kOtherTimer, 0);
    App().PumpWaiting();
    EXPECT_FALSE(F()->Session().IsRunning());
    EXPECT_EQ(Status(), Narrow(LoadResString(IDS_SCANNING_COMPLETE)));
    EXPECT_EQ(RootText(), Narrow(LoadResString(IDS_MONITORING_FILES)));
}

}  // namespace
