// The actions on a finding in the main window after a real scan: ending a
// process, removing a file after its backup, deleting a module at the next
// start, taking a program out of autorun, and the file commands. Each runs
// through the frame's command table with the real veyrith_configure.exe;
// the confirmation dialogs and message boxes are answered through their
// seams, and the restart of the machine is replaced by a counter.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>

#include "../autorun/autorun_test_support.h"
#include "action_answers.h"
#include "../scanner/hook_host.h"
#include "../shell/frame_under_test.h"
#include "actions/confirm_dialogs.h"
#include "common/product.h"
#include "common/system_error.h"
#include "common/tool_request.h"
#include "common/string_resource.h"
#include "quarantine/quarantine_store.h"
#include "resources/resource.h"
#include "tool/tool_client.h"
#include "test_support.h"
#include "../quarantine/quarantine_home.h"

using namespace testing_support;

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Rows of the quarantine manager when it was found open, -1 before.
int g_managerRows = -1;

void CALLBACK CloseQuarantineManager(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA(nullptr, "Quarantined files");
    if (!dialog) return;
    g_managerRows = ListView_GetItemCount(GetDlgItem(dialog, IDC_QUARANTINE_LIST));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

class Actions : public ::testing::Test {
protected:
    // One scan for the suite, found through a host that hooks the keyboard
    // and runs to the end; the hosts that the actions end or remove start
    // in the cases and appear through a fresh census.
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        s_quarantineHome = new TempFolder;
        CreateDirectoryA(s_folder->File("hook mods").c_str(), nullptr);
        char hosts[MAX_PATH];
        wsprintfA(hosts, "C:\\veyrith-actions-%lu\\", GetCurrentProcessId());
        s_hostFolder = hosts;
        CreateDirectoryA(s_hostFolder.c_str(), nullptr);
        s_dll = s_folder->File("hook mods\\actions_watch.dll");
        s_keyboard = new HookHost;
        // The quarantine of this run, away from the build's own folder.
        s_ready = UseQuarantineHome(s_quarantineHome->Path());
        s_frame = new FrameUnderTest(App(), Wide(s_quarantineHome->Path()));
        s_ready = s_ready && CopyFromBin("sample_hook.dll", s_dll) &&
                  CopyFromBin("sample_hook_host.exe", s_hostFolder + "keyboard_host.exe") &&
                  s_keyboard->Start(s_hostFolder + "keyboard_host.exe", "-hook keyboard -dll " + Quoted(s_dll)) &&
                  s_frame->Create() && s_frame->RunScan();
    }

    static void TearDownTestSuite() {
        delete s_frame;
        delete s_keyboard;
        DeleteTree(s_hostFolder);
        delete s_folder;
        delete s_quarantineHome;
    }

    void SetUp() override {
        ASSERT_TRUE(s_ready) << "the host did not start or the scan did not run";
        F().FreshDesktop();
    }

    FrameUnderTest& F() { return *s_frame; }
    CLeftView& Tree() { return F()->Parts().leftView; }
    CVeyrithView& List() { return F()->Parts().listView; }

    // A host that only loads the module: hidden, started from its own copy.
    std::unique_ptr<HookHost> StartHost(const std::string& name, const std::string& extra = "") {
        auto host = std::make_unique<HookHost>();
        std::string exe = s_hostFolder + name;
        if (!CopyFromBin("sample_hook_host.exe", exe) ||
            !host->Start(exe, "-hook none -dll " + Quoted(s_dll) + extra))
            return nullptr;
        return host;
    }
    // Shows the module with a fresh census, as the list does after a change.
    bool ShowFreshRows() {
        F().FocusTreeItem(ModuleItem());
        F()->RefreshList();
        return WaitForCensus();
    }
    bool WaitForCensus() {
        return F().PumpUntil(30000, [&] { return !List().IsCensusRunning(); });
    }
    HTREEITEM ModuleItem() {
        HTREEITEM root = Tree().GetRootItem();
        return root ? TreeView_GetChild(Tree().Tree(), root) : nullptr;
    }
    int Row(const std::string& path) {
        for (int row = 0; row < List().GetRowCount(); ++row)
            if (lstrcmpiW(List().GetCellText(row, CVeyrithView::kColumnPath).c_str(), Wide(path).c_str()) == 0) return row;
        return -1;
    }
    std::string AutorunCell(const std::string& path) {
        int row = Row(path);
        return row < 0 ? "no row" : Narrow(List().GetCellText(row, CVeyrithView::kColumnAutorun));
    }
    HTREEITEM InsertItem(HTREEITEM parent, const std::string& text, LPARAM data = -1) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<char*>(text.c_str());
        insert.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(Tree().Tree(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    // An item that a rebuild of the tree removes.
    void AddMarkerItem() { InsertItem(TVI_ROOT, "marker"); }
    bool TreeHasMarker() {
        for (HTREEITEM item = Tree().GetRootItem(); item; item = TreeView_GetNextSibling(Tree().Tree(), item))
            if (Tree().GetItemText(item) == L"marker") return true;
        return false;
    }
    const QuarantineRecord* FindRecord(const std::vector<QuarantineRecord>& records, const std::string& source) {
        for (const QuarantineRecord& record : records)
            if (lstrcmpiW(record.sourcePath.c_str(), Wide(source).c_str()) == 0) return &record;
        return nullptr;
    }
    std::string Status() { return Narrow(F()->Parts().statusBar.PaneText(0)); }
    std::vector<QuarantineRecord> Records() { return CQuarantineStore(Wide(s_quarantineHome->Path())).ReadRecords(); }
    int Restarts() { return F().Desktop().restarts; }

    DialogAnswers m_dialogs{F().Desktop()};

    static TempFolder* s_folder;
    static TempFolder* s_quarantineHome;
    static std::string s_dll, s_hostFolder;
    static HookHost* s_keyboard;
    static FrameUnderTest* s_frame;
    static bool s_ready;
};

TempFolder* Actions::s_folder = nullptr;
TempFolder* Actions::s_quarantineHome = nullptr;
std::string Actions::s_dll, Actions::s_hostFolder;
HookHost* Actions::s_keyboard = nullptr;
FrameUnderTest* Actions::s_frame = nullptr;
bool Actions::s_ready = false;

TEST_F(Actions, TargetIsTheFocusedRowOrModuleItem) {
    auto host = StartHost("target_row.exe");
    ASSERT_TRUE(host && ShowFreshRows());
    std::string exe = s_hostFolder + "target_row.exe";
    int row = Row(exe);
    ASSERT_GE(row, 0);

    // The list has the focus and a row is selected: that row.
    F().FocusListRow(row);
    CActionTarget target = F().ActionTarget();
    EXPECT_TRUE(target.IsRow());
    EXPECT_EQ(lstrcmpiW(target.path.c_str(), Wide(exe).c_str()), 0);
    EXPECT_EQ(target.processId, host->Id());
    EXPECT_EQ(target.record.m_dwProcessId, host->Id());
    EXPECT_FALSE(target.is64Bit);

    // The list has the focus and no row is selected: nothing.
    F().FocusListRow(-1);
    EXPECT_FALSE(F().ActionTarget().IsSomething());

    // The tree has the focus on a module item: the module.
    F().FocusTreeItem(ModuleItem());
    target = F().ActionTarget();
    EXPECT_TRUE(target.IsModule());
    ASSERT_NE(nullptr, F().ItemModule(ModuleItem()));
    EXPECT_EQ(target.path, F().ItemModule(ModuleItem())->path);
    EXPECT_EQ(target.processId, 0u);

    // The tree's root item, or a selected row while the info pane has the
    // focus: nothing.
    F().FocusTreeItem(Tree().GetRootItem());
    EXPECT_FALSE(F().ActionTarget().IsSomething());
    F().FocusListRow(row);
    F().Focus(F()->Parts().infoView.Handle());
    EXPECT_FALSE(F().ActionTarget().IsSomething());
}

TEST_F(Actions, EndProcessAsksThenEndsTheProcessAndRebuildsTheTree) {
    auto host = StartHost("end_me.exe");
    auto gone = StartHost("gone_already.exe");
    ASSERT_TRUE(host && gone);
    ASSERT_TRUE(ShowFreshRows());
    std::string exe = s_hostFolder + "end_me.exe";
    ASSERT_GE(Row(exe), 0);
    FakeDesktop& boxes = F().FreshDesktop(IDOK);

    // Cancel: the process runs on.
    m_dialogs.Answer(IDCANCEL);
    F().FocusListRow(Row(exe));
    F().Command(ID_END_PROCESS);
    ASSERT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_EQ(m_dialogs.seen[0].templateId, static_cast<UINT>(IDD_CONFIRM_KILL));
    EXPECT_EQ(Lower(m_dialogs.seen[0].heading), Lower(exe));
    EXPECT_TRUE(ProcessExists(host->Id()));

    // End: the tool ends it, the tree is rebuilt and the fresh census no
    // longer has it.
    m_dialogs.Answer(IDOK);
    AddMarkerItem();
    F().FocusListRow(Row(exe));
    F().Command(ID_END_PROCESS);
    EXPECT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(ProcessExists(host->Id()));
    EXPECT_FALSE(TreeHasMarker()) << "the tree was not rebuilt";
    EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), Tree().GetItemText(ModuleItem()));
    ASSERT_TRUE(WaitForCensus());
    EXPECT_EQ(Row(exe), -1);

    // A process that ended since the list was filled: the tool fails, the
    // list stays as it was.
    std::string goneExe = s_hostFolder + "gone_already.exe";
    ASSERT_GE(Row(goneExe), 0);
    DWORD goneId = gone->Id();
    ASSERT_TRUE(gone->Stop());
    gone.reset();
    ASSERT_TRUE(F().PumpUntil(10000, [&] {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, goneId);
        if (process) CloseHandle(process);
        return process == nullptr;
    })) << "the ended process can still be opened";
    // The row is checked against its process before the tool runs: the user
    // is told that the program has ended, and the list is taken again.
    AddMarkerItem();
    F().FocusListRow(Row(goneExe));
    F().Command(ID_END_PROCESS);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, Narrow(LoadResString(IDS_PROCESS_ENDED)));
    EXPECT_FALSE(TreeHasMarker());
    ASSERT_TRUE(WaitForCensus());
    EXPECT_EQ(Row(goneExe), -1);

    // A tool that cannot be started: its error first, then the failure.
    auto noToolHost = StartHost("no_tool.exe");
    ASSERT_TRUE(noToolHost && ShowFreshRows());
    std::string noToolExe = s_hostFolder + "no_tool.exe";
    AddMarkerItem();
    {
        SetAside noTool(s_quarantineHome->Path(), "veyrith_configure.exe");
        ASSERT_TRUE(noTool.Moved());
        F().FocusListRow(Row(noToolExe));
        F().Command(ID_END_PROCESS);
    }
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[1].wide, L"Error 2: " + SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(boxes.boxes[2].text, "Unable to terminate this process!");
    EXPECT_TRUE(ProcessExists(noToolHost->Id()));
    EXPECT_TRUE(TreeHasMarker());
    EXPECT_EQ(Restarts(), 0);
    ASSERT_TRUE(ShowFreshRows());
}

DWORD WINAPI EndAtOnce(void*) { return 0; }

// Starts idle processes until one gets processId, which a process that
// ended by itself has freed. The system hands ids out again from the ones
// freed longest ago, so ids freed by short-lived threads push it forward.
bool GiveIdToNewProcess(DWORD processId, ChildProcess& process) {
    const std::string idle = Quoted(BinDir() + "idle_process.exe");
    for (int round = 0; round < 150; ++round) {
        if (!process.Start(idle)) return false;
        if (process.Id() == processId) return true;
        process.End();
        for (int i = 0; i < 32; ++i) {
            HANDLE thread = CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, nullptr);
            if (!thread) continue;
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }
    return false;
}

// A row whose host has ended and whose id now names another program: End
// process and Quarantine act on nothing, delete nothing, and say so.
TEST_F(Actions, ARowWhoseIdWentToAnotherProgramIsNeverActedOn) {
    auto killTarget = StartHost("stale_kill.exe");
    auto quarantineTarget = StartHost("stale_quarantine.exe");
    ASSERT_TRUE(killTarget && quarantineTarget && ShowFreshRows());
    const std::string killExe = s_hostFolder + "stale_kill.exe";
    const std::string quarantineExe = s_hostFolder + "stale_quarantine.exe";
    const DWORD killId = killTarget->Id(), quarantineId = quarantineTarget->Id();
    ASSERT_TRUE(killTarget->Stop());
    killTarget.reset();
    // Other programs may take a freed id first: the row is then one whose
    // process has ended, and the same rules hold.
    ChildProcess killHeir, quarantineHeir;
    bool killIdReused = GiveIdToNewProcess(killId, killHeir);
    RecordProperty("kill_id_reused", killIdReused ? 1 : 0);
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    m_dialogs.Answer(IDOK);

    F().FocusListRow(Row(killExe));
    F().Command(ID_END_PROCESS);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, Narrow(LoadResString(IDS_PROCESS_ENDED)));
    if (killIdReused) {
        EXPECT_TRUE(killHeir.Running());
    }
    ASSERT_TRUE(WaitForCensus());

    EXPECT_EQ(Row(killExe), -1);
    // The list was taken again with the other host still running; now it
    // ends too, and its row stays until the next census.
    ASSERT_GE(Row(quarantineExe), 0);
    ASSERT_TRUE(quarantineTarget->Stop());
    quarantineTarget.reset();
    bool quarantineIdReused = GiveIdToNewProcess(quarantineId, quarantineHeir);
    RecordProperty("quarantine_id_reused", quarantineIdReused ? 1 : 0);
    F().FocusListRow(Row(quarantineExe));
    F().Command(ID_QUARANTINE_FILE);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, Narrow(LoadResString(IDS_PROCESS_ENDED)));
    if (quarantineIdReused) {
        EXPECT_TRUE(quarantineHeir.Running());
    }
    EXPECT_TRUE(FileExists(quarantineExe));
    EXPECT_EQ(FindRecord(Records(), quarantineExe), nullptr);
    EXPECT_NE(Status(), "Operation completed successfully");
    ASSERT_TRUE(WaitForCensus());
    EXPECT_EQ(Row(quarantineExe), -1);
}

TEST_F(Actions, RemovingAProcessFileBacksItUpFirstThenEndsOrSchedulesAndRestartsOnlyWhenAsked) {
    PendingRenames pending;
    auto ended = StartHost("quarantine_me.exe");
    auto scheduled = StartHost("at_next_start.exe");
    ASSERT_TRUE(ended && scheduled);
    ASSERT_TRUE(ShowFreshRows());
    std::string endedExe = s_hostFolder + "quarantine_me.exe", scheduledExe = s_hostFolder + "at_next_start.exe";
    FakeDesktop& boxes = F().FreshDesktop(IDOK);

    // Enter in the dialog: the first method, end the process and delete the
    // file after its backup.
    m_dialogs.Answer(IDOK);
    AddMarkerItem();
    F().FocusListRow(Row(endedExe));
    F().Command(ID_QUARANTINE_FILE);
    ASSERT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_EQ(m_dialogs.seen[0].templateId, static_cast<UINT>(IDD_CHOOSE_DELETE_METHOD));
    EXPECT_TRUE(m_dialogs.seen[0].firstMethodChecked);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(ProcessExists(ended->Id()));
    EXPECT_FALSE(FileExists(endedExe));
    std::vector<QuarantineRecord> records = Records();
    const QuarantineRecord* record = FindRecord(records, endedExe);
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(FileExists(record->copyPath));
    EXPECT_EQ(Status(), "Operation completed successfully");
    EXPECT_FALSE(TreeHasMarker());
    EXPECT_EQ(Restarts(), 0);
    ASSERT_TRUE(WaitForCensus());

    // The second method: deleted at the next start, and the restart now.
    m_dialogs.Answer(IDOK, [](HWND dialog) {
        CheckRadioButton(dialog, IDC_METHOD_END_PROCESS, IDC_METHOD_AT_REBOOT, IDC_METHOD_AT_REBOOT);
    });
    F()->SetMessageText(L"");
    F().FocusListRow(Row(scheduledExe));
    F().Command(ID_QUARANTINE_FILE);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(PendingRenames::Has("at_next_start.exe"));
    EXPECT_EQ(Restarts(), 1);
    EXPECT_TRUE(ProcessExists(scheduled->Id()));
    EXPECT_TRUE(FileExists(scheduledExe));
    EXPECT_NE(FindRecord(Records(), scheduledExe), nullptr);
    EXPECT_EQ(Status(), "Operation completed successfully");
}

TEST_F(Actions, AModuleIsDeletedAtTheNextStartAndTheMachineRestartsOnlyWithTheBoxChecked) {
    PendingRenames pending;
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    m_dialogs.Answer(IDOK, [](HWND dialog) { CheckDlgButton(dialog, IDC_REBOOT_NOW, BST_UNCHECKED); });
    AddMarkerItem();
    F().FocusTreeItem(ModuleItem());
    F().Command(ID_QUARANTINE_FILE);
    ASSERT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_EQ(m_dialogs.seen[0].templateId, static_cast<UINT>(IDD_DELETE_DLL));
    EXPECT_TRUE(m_dialogs.seen[0].rebootChecked);
    EXPECT_EQ(Lower(m_dialogs.seen[0].heading), Lower(s_dll));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(PendingRenames::Has("actions_watch.dll"));
    EXPECT_NE(FindRecord(Records(), s_dll), nullptr);
    EXPECT_EQ(Restarts(), 0);
    EXPECT_EQ(Status(), "Operation completed successfully");
    EXPECT_TRUE(TreeHasMarker()) << "the module stays listed until the restart";
    EXPECT_TRUE(FileExists(s_dll));

    m_dialogs.Answer(IDOK);
    F().FocusTreeItem(ModuleItem());
    F().Command(ID_QUARANTINE_FILE);
    EXPECT_EQ(Restarts(), 1);
    F()->RebuildModuleTree();
    ASSERT_TRUE(WaitForCensus());
}

TEST_F(Actions, WithoutABackupNothingIsEndedDeletedScheduledOrRestarted) {
    PendingRenames pending;
    auto host = StartHost("kept.exe");
    ASSERT_TRUE(host);
    ASSERT_TRUE(ShowFreshRows());
    std::string exe = s_hostFolder + "kept.exe";
    // A file where the quarantine folder should be: no copy can be made,
    // neither by the program nor by the tool.
    auto blocked = std::make_unique<SetAside>(s_quarantineHome->Path(), "Quarantined");
    ASSERT_TRUE(WriteTextFile(s_quarantineHome->File("Quarantined"), "not a folder"));
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    const std::string expected = Narrow(LoadResString(IDS_BACKUP_FAILED));

    for (UINT method : {IDC_METHOD_END_PROCESS, IDC_METHOD_AT_REBOOT}) {
        m_dialogs.Answer(IDOK, [method](HWND dialog) {
            CheckRadioButton(dialog, IDC_METHOD_END_PROCESS, IDC_METHOD_AT_REBOOT, method);
        });
        F().FocusListRow(Row(exe));
        F().Command(ID_QUARANTINE_FILE);
    }
    m_dialogs.Answer(IDOK);
    F().FocusTreeItem(ModuleItem());
    F().Command(ID_QUARANTINE_FILE);
    blocked.reset();

    ASSERT_EQ(boxes.boxes.size(), 3u);
    for (const auto& box : boxes.boxes) {
        EXPECT_EQ(box.text, expected);
        EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    }
    EXPECT_TRUE(ProcessExists(host->Id()));
    EXPECT_TRUE(FileExists(exe));
    EXPECT_FALSE(PendingRenames::Has("kept.exe"));
    EXPECT_FALSE(PendingRenames::Has("actions_watch.dll"));
    EXPECT_EQ(Restarts(), 0);
}

TEST_F(Actions, AutorunRemovalDeletesRunValuesAndShortcutsExplainsWinIniAndRefillsTheList) {
    const char kValue[] = "VeyrithActionsTestRun";
    auto byValue = StartHost("run_value.exe", std::string(" -autorun ") + kValue);
    auto byShortcut = StartHost("startup_link.exe");
    auto byWinIni = StartHost("win_ini.exe");
    auto vanished = StartHost("vanished.exe");
    ASSERT_TRUE(byValue && byShortcut && byWinIni && vanished);
    std::string valueExe = s_hostFolder + "run_value.exe", linkExe = s_hostFolder + "startup_link.exe";
    std::string iniExe = s_hostFolder + "win_ini.exe", vanishedExe = s_hostFolder + "vanished.exe";
    autorun_test::StartupShortcut link("veyrith_actions_test.lnk", linkExe);
    autorun_test::WinIniOption load("load");
    autorun_test::RegistryScratch scratch;
    ASSERT_TRUE(link.Made());
    ASSERT_TRUE(load.Set(iniExe.c_str()));
    ASSERT_TRUE(scratch.SetValue(HKEY_CURRENT_USER, kRunKey, "VeyrithActionsVanished", vanishedExe));
    ASSERT_TRUE(ShowFreshRows());
    ASSERT_EQ(AutorunCell(valueExe), "Registry");
    ASSERT_EQ(AutorunCell(linkExe), "Shortcut");
    ASSERT_EQ(AutorunCell(iniExe), "Win.ini");
    ASSERT_EQ(AutorunCell(vanishedExe), "Registry");
    FakeDesktop& boxes = F().FreshDesktop(IDOK);

    // Cancel: the value stays and the list is not refilled.
    m_dialogs.Answer(IDCANCEL);
    F().FocusListRow(Row(valueExe));
    F().Command(ID_REMOVE_FROM_AUTORUN);
    ASSERT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_EQ(m_dialogs.seen[0].templateId, static_cast<UINT>(IDD_CONFIRM_REMOVE_AUTORUN));
    EXPECT_EQ(m_dialogs.seen[0].type, "Autorun type: Registry");
    EXPECT_EQ(m_dialogs.seen[0].place, std::string("Path: ") + kRunKey + "\\" + kValue);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kRunKey, kValue));
    EXPECT_FALSE(List().IsCensusRunning());
    EXPECT_TRUE(boxes.boxes.empty());

    // The Run value: deleted by the tool; the message names the key.
    m_dialogs.Answer(IDOK);
    F().FocusListRow(Row(valueExe));
    F().Command(ID_REMOVE_FROM_AUTORUN);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, kValue));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, std::string("The autorun shortcut \"") + kRunKey +
                                       "\" has been successfully removed.\n\nThis program will not be loaded on "
                                       "Windows startup more.");
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    ASSERT_TRUE(WaitForCensus());
    EXPECT_EQ(AutorunCell(valueExe), "None");

    // The Startup shortcut: its file is deleted.
    F().FocusListRow(Row(linkExe));
    F().Command(ID_REMOVE_FROM_AUTORUN);
    EXPECT_EQ(m_dialogs.seen.back().place, "Path: " + link.Path());
    EXPECT_FALSE(FileExists(link.Path()));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_NE(boxes.boxes[1].text.find(link.Path()), std::string::npos);
    ASSERT_TRUE(WaitForCensus());
    EXPECT_EQ(AutorunCell(linkExe), "None");

    // win.ini: only the explanation; the entry stays.
    F().FocusListRow(Row(iniExe));
    F().Command(ID_REMOVE_FROM_AUTORUN);
    EXPECT_EQ(m_dialogs.seen.back().type, "Autorun type: Win.ini");
    EXPECT_EQ(m_dialogs.seen.back().place, "Location: WINI.INI, option:load");
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[2].text, Narrow(LoadResString(IDS_WININI_NOT_SUPPORTED)));
    EXPECT_EQ(boxes.boxes[2].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    char value[MAX_PATH] = {};
    GetProfileStringA("windows", "load", "", value, MAX_PATH);
    EXPECT_EQ(Lower(value), Lower(iniExe));
    ASSERT_TRUE(WaitForCensus());
    EXPECT_EQ(AutorunCell(iniExe), "Win.ini");

    // An entry that vanished since the list was filled: the tool fails.
    DeleteValue(HKEY_CURRENT_USER, kRunKey, "VeyrithActionsVanished");
    F().FocusListRow(Row(vanishedExe));
    F().Command(ID_REMOVE_FROM_AUTORUN);
    ASSERT_EQ(boxes.boxes.size(), 4u);
    EXPECT_EQ(boxes.boxes[3].text,
              "An error occurred while removing this program from the autorun. Please, remove it manually.");
    EXPECT_EQ(boxes.boxes[3].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    ASSERT_TRUE(WaitForCensus());
    EXPECT_EQ(AutorunCell(vanishedExe), "None");
}

TEST_F(Actions, FileCommandsActOnTheSelectionPath) {
    // View the file: Explorer with the file selected; the path has a blank.
    F().FocusTreeItem(ModuleItem());
    F().Command(ID_VIEW_THE_FILE);
    const std::vector<FakeDesktop::ShellCall> opened = F().Desktop().shellOpens;
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].owner, F().Handle());
    EXPECT_EQ(opened[0].verb, "open");
    EXPECT_EQ(opened[0].file, L"explorer.exe");
    EXPECT_EQ(Lower(opened[0].parameters), Wide(Lower("/select,\"" + s_dll + "\"")));
    EXPECT_EQ(opened[0].show, SW_SHOW);

    // A module item whose path has a letter beyond ASCII in the system's
    // code page, and no file behind it.
    std::string path = s_folder->File("caf\xE9 missing.dll");
    WCHAR expected[MAX_PATH] = {};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, expected, MAX_PATH), 0);
    int module = F().Result().Add(CModuleFinding{expected, 32});
    HTREEITEM item = InsertItem(Tree().GetRootItem(), path, module);
    F().FocusTreeItem(item);

    // Copy path: the Unicode text on the real clipboard, and the system's
    // code-page form of it for programs that ask for that, naming the same
    // file.
    ASSERT_TRUE(OpenClipboard(F().Handle()));
    EmptyClipboard();
    CloseClipboard();
    F().Command(ID_EDIT_COPY);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE ansi = GetClipboardData(CF_TEXT), wide = GetClipboardData(CF_UNICODETEXT);
    std::string ansiText = ansi ? static_cast<const char*>(GlobalLock(ansi)) : "";
    std::wstring wideText = wide ? static_cast<const WCHAR*>(GlobalLock(wide)) : L"";
    if (ansi) GlobalUnlock(ansi);
    if (wide) GlobalUnlock(wide);
    CloseClipboard();
    EXPECT_EQ(ansiText, path);
    EXPECT_EQ(wideText, std::wstring(expected));
    if (GetACP() != 1251) {
        EXPECT_EQ(wideText.find(L'\x0439'), std::wstring::npos) << "converted from code page 1251";
    }

    // Properties: the tool gets the path as its request, and the desktop
    // opens the frame's tool, hidden, on it.
    DeleteValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
    F().FreshDesktop();
    F().Command(ID_PROPERTIES);
    std::vector<unsigned char> request = ReadBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
    ASSERT_EQ(request.size(), static_cast<size_t>(kToolRequestShortSize));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(request.data() + 4)), std::wstring(expected));
    const std::vector<FakeDesktop::ShellCall>& tool = F().Desktop().shellOpens;
    ASSERT_EQ(tool.size(), 1u);
    EXPECT_EQ(tool[0].owner, F().Handle());
    EXPECT_EQ(tool[0].file, Wide(s_quarantineHome->File("veyrith_configure.exe")));
    EXPECT_EQ(tool[0].parameters.compare(0, 6, L"-info "), 0) << Narrow(tool[0].parameters);
    EXPECT_EQ(tool[0].show, SW_HIDE);
    EXPECT_TRUE(F().Desktop().boxes.empty());
    TreeView_DeleteItem(Tree().Tree(), item);
}

TEST_F(Actions, EveryCommandHasItsHandlerAndTheQuarantineManagerOpens) {
    HMENU menu = GetMenu(F().Handle());
    for (int popup = 0; popup < GetMenuItemCount(menu); ++popup) {
        HMENU items = GetSubMenu(menu, popup);
        for (int i = 0; i < GetMenuItemCount(items); ++i) {
            UINT id = GetMenuItemID(items, i);
            if (id && id != static_cast<UINT>(-1)) {
                EXPECT_TRUE(F()->Parts().commands.HasHandler(id)) << id;
            }
        }
    }

    // The manager lists the quarantine's records; Close ends it.
    g_managerRows = -1;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseQuarantineManager);
    F().Command(ID_QUARANTINED_FILES);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_managerRows, static_cast<int>(Records().size()));
}

}  // namespace
