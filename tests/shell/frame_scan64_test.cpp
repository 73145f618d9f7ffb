// Scans on a 64-bit system (this program runs in the 64-bit prefix): the
// 64-bit companion finds a 64-bit program's keyboard and get-message hook
// modules, which the tree marks as 64-bit and whose host the list shows in
// its alert colour; End process ends that host; a 32-bit hook is still
// found; and a companion that is killed during a scan ends the scan with
// its message instead of a result.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <memory>
#include <string>

#include "../scanner/hook_host.h"
#include "actions/confirm_dialogs.h"
#include "findings/findings.h"
#include "frame_under_test.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "scanner/probe64_client.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// The module item of path; null when the tree has none, or more than one
// (a module the 32-bit side also saw is listed once).
HTREEITEM FindModuleItem(FrameUnderTest& frame, const std::string& path) {
    CLeftView& tree = frame->Parts().leftView;
    HWND control = tree.Tree();
    HTREEITEM root = tree.GetRootItem();
    HTREEITEM found = nullptr;
    int count = 0;
    for (HTREEITEM item = root ? TreeView_GetChild(control, root) : nullptr; item;
         item = TreeView_GetNextSibling(control, item)) {
        const CModuleFinding* module = frame.ItemModule(item);
        if (!module || lstrcmpiW(module->path.c_str(), Wide(path).c_str())) continue;
        found = item;
        ++count;
    }
    return count == 1 ? found : nullptr;
}

int RowOf(CVeyrithView& list, DWORD processId) {
    for (int row = 0; row < list.GetRowCount(); ++row) {
        int record = list.GetRowRecord(row);
        if (record >= 0 && list.Records().GetAt(record).m_dwProcessId == processId) return row;
    }
    return -1;
}

DWORD FindProcess(const char* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    DWORD found = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        if (!lstrcmpiA(entry.szExeFile, exeName)) found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "VeyrithScan64Test";

// A Run value of the machine in the 64-bit view of the registry, which only
// 64-bit programs see by default; removed again when the object goes.
class MachineRunValue64 {
public:
    explicit MachineRunValue64(const std::string& command) {
        HKEY key = Open(KEY_SET_VALUE);
        m_set = key && RegSetValueExA(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                      static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
    }
    ~MachineRunValue64() {
        HKEY key = Open(KEY_SET_VALUE);
        if (key) RegDeleteValueA(key, kRunValue);
        if (key) RegCloseKey(key);
    }
    bool Set() const { return m_set; }
    static bool Exists() {
        HKEY key = Open(KEY_QUERY_VALUE);
        bool found = key && RegQueryValueExA(key, kRunValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
        return found;
    }

private:
    static HKEY Open(REGSAM access) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, access | KEY_WOW64_64KEY, nullptr, &key, nullptr);
        return key;
    }
    bool m_set = false;
};

class Scan64 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IsWow64System()) << "this program must run in the 64-bit prefix";
        ASSERT_TRUE(m_frame.Create());
    }

    // Runs a scan and returns the module item of path (null when missing).
    HTREEITEM ScanFor(const std::string& path) {
        if (!m_frame.RunScan(120000)) return nullptr;
        return FindModuleItem(m_frame, path);
    }

    // Selects the item and waits until the list shows the row of processId.
    int ShowRow(HTREEITEM item, DWORD processId) {
        m_frame.FocusTreeItem(item);
        CVeyrithView& list = m_frame->Parts().listView;
        m_frame.PumpUntil(30000, [&] { return !list.IsCensusRunning() && RowOf(list, processId) >= 0; });
        return RowOf(list, processId);
    }

    FrameUnderTest m_frame{App()};
};

TEST_F(Scan64, The64BitHooksAreFoundMarkedAndTheirHostEnded) {
    // The module and its hosts live in a folder of their own: the tool never
    // ends a program of its own folder.
    TempFolder hosts;
    const std::string module = hosts.File("sample_hook64.dll");
    const std::string hostExe = hosts.File("sample_hook_host64.exe");
    ASSERT_TRUE(CopyFileW(Wide(BinDir() + "sample_hook64.dll").c_str(), Wide(module).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(Wide(BinDir() + "sample_hook_host64.exe").c_str(), Wide(hostExe).c_str(), FALSE));
    for (const char* type : {"getmessage", "keyboard"}) {
        SCOPED_TRACE(type);
        // The get-message host starts with Windows, from the 64-bit view.
        const bool autorun = std::string(type) == "getmessage";
        std::unique_ptr<MachineRunValue64> runValue;
        if (autorun) runValue.reset(new MachineRunValue64(Quoted(hostExe)));
        ASSERT_TRUE(!autorun || runValue->Set());
        HookHost host;
        ASSERT_TRUE(host.Start(hostExe, std::string("-hook ") + type + " -dll " + Quoted(module)));
        HTREEITEM item = ScanFor(module);
        ASSERT_NE(nullptr, item);
        CLeftView& tree = m_frame->Parts().leftView;
        const CModuleFinding* found = m_frame.ItemModule(item);
        ASSERT_NE(nullptr, found);
        EXPECT_TRUE(found->Is64Bit());
        EXPECT_EQ(0u, tree.GetItemText(item).find(LoadResString(IDS_MODULE_64BIT_MARK) + found->path + L"  "));
        // Both self-tests were seen and the companion answered.
        EXPECT_EQ(m_frame->Parts().statusBar.PaneText(0), LoadResString(IDS_SCANNING_COMPLETE));
        EXPECT_EQ(m_frame->Parts().infoView.RequestedPage(), "HTML_SCANNING_COMPLETE");
        m_frame.FocusTreeItem(item);
        EXPECT_TRUE(m_frame.ActionTarget().is64Bit);

        int row = ShowRow(item, host.Id());
        ASSERT_GE(row, 0);
        CVeyrithView& list = m_frame->Parts().listView;
        const CListItemState& record = list.Records().GetAt(list.GetRowRecord(row));
        EXPECT_EQ(0, lstrcmpiW(record.m_szPath, Wide(hostExe).c_str()));
        EXPECT_FALSE(record.m_bVisible);
        // Hidden, in the module's folder, started with Windows or not.
        const int level = autorun ? ALERT_HIDDEN_AUTORUN_SAME_FOLDER : ALERT_HIDDEN_SAME_FOLDER;
        EXPECT_EQ(kAlertColors[level - 1].back, record.m_crBack);
        EXPECT_EQ(kAlertColors[level - 1].text, record.m_crText);
        // The window as the user sees it, for the docs.
        m_frame.FocusListRow(row);
        EXPECT_TRUE(m_frame.ActionTarget().is64Bit);
        SaveWindowPicture(m_frame.Handle(), BinDir() + "..\\veyrith-scan64-" + type + ".bmp");
        // OK in every confirmation dialog.
        FakeDesktop& boxes = m_frame.FreshDesktop(IDOK);
        boxes.answerDialog = [](HWND, UINT) { return IDOK; };

        if (autorun) {
            // The 32-bit tool removes the entry from the view it lives in,
            // and the list stops showing it.
            EXPECT_EQ(record.m_autoRun.m_nType, AUTORUN_REGISTRY);
            m_frame.FocusListRow(row);
            m_frame.Command(ID_REMOVE_FROM_AUTORUN);
            EXPECT_FALSE(MachineRunValue64::Exists());
            ASSERT_EQ(1u, boxes.boxes.size());
            EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
            m_frame.PumpUntil(30000, [&] { return !list.IsCensusRunning(); });
            int after = RowOf(list, host.Id());
            ASSERT_GE(after, 0);
            EXPECT_EQ(list.GetCellText(after, CVeyrithView::kColumnAutorun), L"None");
            continue;
        }
        m_frame.FocusListRow(row);
        m_frame.Command(ID_END_PROCESS);
        EXPECT_TRUE(m_frame.PumpUntil(10000, [&] { return !ProcessExists(host.Id()); }));
        EXPECT_TRUE(boxes.boxes.empty());
        // The 64-bit module stays; its ended host leaves the list.
        HTREEITEM again = FindModuleItem(m_frame, module);
        ASSERT_NE(nullptr, again);
        m_frame.FocusTreeItem(again);
        m_frame.PumpUntil(30000, [&] { return !list.IsCensusRunning(); });
        EXPECT_EQ(-1, RowOf(list, host.Id()));
    }

    // A 32-bit hook, in a scan of its own, is found as ever and not marked.
    const std::string module32 = BinDir() + "sample_hook.dll";
    HookHost host32;
    ASSERT_TRUE(host32.Start(BinDir() + "sample_hook_host.exe", "-hook keyboard -dll " + Quoted(module32)));
    HTREEITEM item32 = ScanFor(module32);
    ASSERT_NE(nullptr, item32);
    ASSERT_NE(nullptr, m_frame.ItemModule(item32));
    EXPECT_FALSE(m_frame.ItemModule(item32)->Is64Bit());
    EXPECT_GE(ShowRow(item32, host32.Id()), 0);
    EXPECT_FALSE(m_frame.ActionTarget().is64Bit);
    m_frame.FocusListRow(ShowRow(item32, host32.Id()));
    EXPECT_FALSE(m_frame.ActionTarget().is64Bit);
}

TEST_F(Scan64, AKilledCompanionEndsTheScanWithItsMessage) {
    m_frame.Command(ID_SCAN);
    DWORD probe = 0;
    ASSERT_TRUE(m_frame.PumpUntil(60000, [&] { return (probe = FindProcess("veyrith_probe64.exe")) != 0; }));
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, probe);
    ASSERT_NE(nullptr, process);
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    ASSERT_TRUE(m_frame.PumpUntil(30000, [&] { return !m_frame->Session().IsRunning(); }));
    EXPECT_EQ(m_frame->Parts().statusBar.PaneText(0), LoadResString(IDS_PROBE64_ENDED_EARLY));
    // Never the nothing-found page (the modules of the scans before are
    // still recorded in this process, so this one may show them).
    EXPECT_NE(m_frame->Parts().infoView.RequestedPage(), "HTML_SPY_NOT_DETECTED");
    EXPECT_FALSE(m_frame->Session().Checks().Confirmed());
    EXPECT_TRUE(m_frame->Parts().commands.IsEnabled(ID_SCAN));
}

}  // namespace
