// Names beyond the code page, end to end. Real hosts of the sample hook live
// in folders named in CJK and in Cyrillic letters, which the test prefix's
// Western code page cannot hold; the module lies in the CJK folder. The
// Cyrillic host starts with Windows through a Run value named in Cyrillic,
// beside an innocent value whose name is what the code page makes of that
// name. After a real scan the tree, the list, the clipboard, the report,
// View the file, Properties, Remove from autorun, Quarantine, Restore and
// End process all name the real files and values, through the real
// veyrith_configure.exe.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "../scanner/hook_host.h"
#include "../shell/frame_under_test.h"
#include "action_answers.h"
#include "common/product.h"
#include "common/tool_request.h"
#include "quarantine/quarantine_store.h"
#include "resources/resource.h"
#include "test_support.h"
#include "../quarantine/quarantine_home.h"
#include "tool/tool_client.h"
#include "views/results_report.h"

using namespace testing_support;

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// 监视程序 and шпион (lower case, as the tree records module paths).
const wchar_t kCjkFolder[] = L"\u76d1\u89c6\u7a0b\u5e8f";
const wchar_t kCyrillicFolder[] = L"\u0448\u043f\u0438\u043e\u043d";
// 钩子.dll, 宿主.exe, хозяин.exe
const wchar_t kModuleName[] = L"\u94a9\u5b50.dll";
const wchar_t kCjkHostName[] = L"\u5bbf\u4e3b.exe";
const wchar_t kCyrillicHostName[] = L"\u0445\u043e\u0437\u044f\u0438\u043d.exe";

// "Шпион-<pid>", and the name the code page makes of it ("?????-<pid>").
std::wstring RunValueName() { return L"\u0428\u043f\u0438\u043e\u043d-" + std::to_wstring(GetCurrentProcessId()); }
std::wstring LookalikeName() { return Wide(Narrow(RunValueName())); }

bool SetRunValue(const std::wstring& name, const std::wstring& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)) return false;
    LONG status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool RunValueExists(const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key)) return false;
    bool found = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

void DeleteRunValue(const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key)) return;
    RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
}

std::string Utf8(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* data = block ? static_cast<const wchar_t*>(GlobalLock(block)) : nullptr;
    if (data) text = data;
    if (data) GlobalUnlock(block);
    CloseClipboard();
    return text;
}

class WideNames : public ::testing::Test {
protected:
    // One scan for the suite: the CJK host hooks the keyboard, the Cyrillic
    // host only loads the module and registers its Run value.
    static void SetUpTestSuite() {
        s_base = new TempFolder;
        s_quarantineHome = new TempFolder;
        s_cjk = Wide(s_base->Path()) + kCjkFolder + L"\\";
        s_cyrillic = Wide(s_base->Path()) + kCyrillicFolder + L"\\";
        s_module = s_cjk + kModuleName;
        s_cjkHost = s_cjk + kCjkHostName;
        s_cyrillicHost = s_cyrillic + kCyrillicHostName;
        s_keyboard = new HookHost;
        s_autorun = new HookHost;
        s_ready = UseQuarantineHome(s_quarantineHome->Path());
        s_frame = new FrameUnderTest(App(), Wide(s_quarantineHome->Path()));
        s_ready = s_ready && CreateDirectoryW(s_cjk.c_str(), nullptr) && CreateDirectoryW(s_cyrillic.c_str(), nullptr) &&
                  CopyFromBin("sample_hook.dll", s_module) && CopyFromBin("sample_hook_host.exe", s_cjkHost) &&
                  CopyFromBin("sample_hook_host.exe", s_cyrillicHost) &&
                  SetRunValue(LookalikeName(), L"C:\\Nowhere\\innocent.exe") &&
                  s_keyboard->Start(s_cjkHost, L"-hook keyboard -dll " + Quoted(s_module)) &&
                  s_autorun->Start(s_cyrillicHost,
                                   L"-hook none -dll " + Quoted(s_module) + L" -autorun " + Quoted(RunValueName())) &&
                  s_frame->Create() && s_frame->RunScan();
    }

    static void TearDownTestSuite() {
        delete s_frame;
        delete s_keyboard;
        delete s_autorun;
        DeleteRunValue(LookalikeName());
        DeleteRunValue(RunValueName());
        delete s_base;
        delete s_quarantineHome;
    }

    void SetUp() override {
        ASSERT_TRUE(s_ready) << "the hosts did not start or the scan did not run";
        ASSERT_NE(LookalikeName(), RunValueName()) << "the code page holds Cyrillic: nothing to show";
        F().FreshDesktop();
    }

    FrameUnderTest& F() { return *s_frame; }
    CLeftView& Tree() { return F()->Parts().leftView; }
    CVeyrithView& List() { return F()->Parts().listView; }

    HTREEITEM ModuleItem() {
        HTREEITEM root = Tree().GetRootItem();
        for (HTREEITEM item = root ? TreeView_GetChild(Tree().Tree(), root) : nullptr; item;
             item = TreeView_GetNextSibling(Tree().Tree(), item))
            if (F().ItemModule(item) && SamePath(F().ItemModule(item)->path, s_module)) return item;
        return nullptr;
    }
    // Shows the module's rows from a fresh census.
    bool ShowFreshRows() {
        HTREEITEM item = ModuleItem();
        if (!item) return false;
        F().FocusTreeItem(item);
        F()->RefreshList();
        return F().PumpUntil(30000, [&] { return !List().IsCensusRunning(); });
    }
    int Row(const std::wstring& path) {
        for (int row = 0; row < List().GetRowCount(); ++row)
            if (SamePath(List().GetCellText(row, CVeyrithView::kColumnPath), path)) return row;
        return -1;
    }
    const CListItemState& RecordOf(int row) { return List().Records().GetAt(List().GetRowRecord(row)); }
    const QuarantineRecord* FindRecord(const std::vector<QuarantineRecord>& records, const std::wstring& source) {
        for (const QuarantineRecord& record : records)
            if (SamePath(record.sourcePath, source)) return &record;
        return nullptr;
    }

    CQuarantineStore Quarantine() { return CQuarantineStore(Wide(s_quarantineHome->Path())); }

    DialogAnswers m_dialogs{F().Desktop()};

    static TempFolder* s_base;
    static TempFolder* s_quarantineHome;
    static std::wstring s_cjk, s_cyrillic, s_module, s_cjkHost, s_cyrillicHost;
    static HookHost* s_keyboard;
    static HookHost* s_autorun;
    static FrameUnderTest* s_frame;
    static bool s_ready;
};

TempFolder* WideNames::s_base = nullptr;
TempFolder* WideNames::s_quarantineHome = nullptr;
std::wstring WideNames::s_cjk, WideNames::s_cyrillic, WideNames::s_module, WideNames::s_cjkHost,
    WideNames::s_cyrillicHost;
HookHost* WideNames::s_keyboard = nullptr;
HookHost* WideNames::s_autorun = nullptr;
FrameUnderTest* WideNames::s_frame = nullptr;
bool WideNames::s_ready = false;

TEST_F(WideNames, TreeListAndStatusShowTheRealNamesAndTheFactsHoldForThem) {
    HTREEITEM item = ModuleItem();
    ASSERT_NE(item, nullptr) << "no tree item names the module in the CJK folder";
    EXPECT_EQ(F().ItemModule(item)->path, Lower(s_module)) << "recorded lower-cased, letters unchanged";
    EXPECT_EQ(0u, Tree().GetItemText(item).find(Lower(s_module) + L"  ")) << "shown as recorded";
    // Selecting the item puts its file's description on the status bar.
    F().FocusTreeItem(Tree().GetRootItem());
    F().FocusTreeItem(item);
    EXPECT_EQ(0u, F()->Parts().statusBar.PaneText(0).find(L"Sample keyboard monitor  "));
    ASSERT_TRUE(ShowFreshRows());

    int cjk = Row(s_cjkHost), cyrillic = Row(s_cyrillicHost);
    ASSERT_GE(cjk, 0);
    ASSERT_GE(cyrillic, 0);
    EXPECT_EQ(List().GetCellText(cjk, CVeyrithView::kColumnDescription), L"Sample hook host");
    EXPECT_EQ(List().GetCellText(cjk, CVeyrithView::kColumnAutorun), L"None");
    EXPECT_EQ(List().GetCellText(cyrillic, CVeyrithView::kColumnAutorun), L"Registry");
    // The Run value found is the one named in Cyrillic, not its look-alike.
    const CListItemState& started = RecordOf(cyrillic);
    EXPECT_EQ(started.m_autoRun.m_hRootKey, HKEY_CURRENT_USER);
    EXPECT_STREQ(started.m_autoRun.m_szLocation, kRunKey);
    EXPECT_STREQ(started.m_autoRun.m_szValueName, RunValueName().c_str());
    // The module and the CJK host share their folder; the Cyrillic host's
    // folder is a sibling of it.
    EXPECT_TRUE(RecordOf(cjk).m_bSameFolder);
    EXPECT_EQ(RecordOf(cjk).m_crBack, kAlertColors[ALERT_HIDDEN_SAME_FOLDER - 1].back);
}

TEST_F(WideNames, CopyPathViewTheFileAndPropertiesNameTheRealFile) {
    ASSERT_TRUE(ShowFreshRows());
    int row = Row(s_cjkHost);
    ASSERT_GE(row, 0);
    const std::wstring shown = List().GetCellText(row, CVeyrithView::kColumnPath);

    F().FocusListRow(row);
    F().Command(ID_EDIT_COPY);
    EXPECT_EQ(ClipboardText(F().Handle()), shown);

    FakeDesktop& desktop = F().FreshDesktop();
    F().Command(ID_VIEW_THE_FILE);
    ASSERT_EQ(desktop.shellOpens.size(), 1u);
    EXPECT_EQ(desktop.shellOpens[0].parameters, L"/select,\"" + shown + L"\"");

    // The request the tool gets; the desktop only records the tool's start.
    DeleteValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
    F().Command(ID_PROPERTIES);
    EXPECT_EQ(desktop.shellOpens.size(), 2u);
    std::vector<unsigned char> request = ReadBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
    ASSERT_EQ(request.size(), static_cast<size_t>(kToolRequestShortSize));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(request.data() + 4)), shown);
}

TEST_F(WideNames, TheReportHoldsTheRealModulePathInUtf8) {
    const std::wstring report = Wide(s_base->Path()) + L"\u043e\u0442\u0447\u0451\u0442.htm";
    FakeDesktop& desktop = F().FreshDesktop();
    desktop.choosePath = [&](HWND, std::wstring& path) {
        path = report;
        return true;
    };
    F().FocusTreeItem(ModuleItem());
    F().Command(ID_EXPORT_RESULTS);
    desktop.choosePath = nullptr;
    EXPECT_EQ(desktop.openedReports, std::vector<std::wstring>{report});
    std::string bytes = ReadTextFile(report);
    EXPECT_NE(bytes.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(bytes.find("<TD bgColor=#c0dbfd>" + Utf8(Lower(s_module)) +
                         "</TD><TD bgColor=#c0dbfd>Sample keyboard monitor</TD>"),
              std::string::npos);
}

TEST_F(WideNames, RemoveFromAutorunRemovesTheValueNamedInCyrillicAndKeepsItsLookalike) {
    ASSERT_TRUE(ShowFreshRows());
    ASSERT_TRUE(RunValueExists(RunValueName()) && RunValueExists(LookalikeName()));
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    m_dialogs.Answer(IDOK);
    F().FocusListRow(Row(s_cyrillicHost));
    F().Command(ID_REMOVE_FROM_AUTORUN);
    ASSERT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_EQ(m_dialogs.seen[0].placeW, L"Path: " + std::wstring(kRunKey) + L"\\" + RunValueName());
    EXPECT_FALSE(RunValueExists(RunValueName()));
    EXPECT_TRUE(RunValueExists(LookalikeName())) << "the innocent value was removed";
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    ASSERT_TRUE(F().PumpUntil(30000, [&] { return !List().IsCensusRunning(); }));
    EXPECT_EQ(List().GetCellText(Row(s_cyrillicHost), CVeyrithView::kColumnAutorun), L"None");
}

TEST_F(WideNames, QuarantineBacksUpTheRealModuleAndSchedulesItsDeletion) {
    PendingRenames pending;
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    m_dialogs.Answer(IDOK, [](HWND dialog) { CheckDlgButton(dialog, IDC_REBOOT_NOW, BST_UNCHECKED); });
    F().FocusTreeItem(ModuleItem());
    F().Command(ID_QUARANTINE_FILE);
    ASSERT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_TRUE(SamePath(m_dialogs.seen[0].headingW, s_module));
    EXPECT_TRUE(boxes.boxes.empty()) << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
    std::vector<QuarantineRecord> records = Quarantine().ReadRecords();
    const QuarantineRecord* record = FindRecord(records, s_module);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->copyPath, Quarantine().Folder() + L"\\" + kModuleName);
    EXPECT_TRUE(ReadTextFile(record->copyPath) == ReadTextFile(s_module)) << "the copy is not the module";
    EXPECT_TRUE(PendingRenames::HasDeletionOf(s_module));
    EXPECT_TRUE(FileExists(s_module)) << "deleted only at the next start";
    EXPECT_EQ(F().Desktop().restarts, 0);
}

TEST_F(WideNames, QuarantineEndsTheHostDeletesItsFileAndRestorePutsItBack) {
    ASSERT_TRUE(ShowFreshRows());
    const std::string original = ReadTextFile(s_cyrillicHost);
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    m_dialogs.Answer(IDOK);
    F().FocusListRow(Row(s_cyrillicHost));
    F().Command(ID_QUARANTINE_FILE);
    EXPECT_TRUE(boxes.boxes.empty()) << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
    EXPECT_FALSE(ProcessExists(s_autorun->Id()));
    EXPECT_FALSE(FileExists(s_cyrillicHost));
    QuarantineRecord record;
    for (const QuarantineRecord& found : Quarantine().ReadRecords())
        if (SamePath(found.sourcePath, s_cyrillicHost)) record = found;
    ASSERT_FALSE(record.id.empty());
    EXPECT_EQ(record.copyPath, Quarantine().Folder() + L"\\" + kCyrillicHostName);

    ASSERT_TRUE(Quarantine().Restore(record).Succeeded());
    EXPECT_TRUE(ReadTextFile(s_cyrillicHost) == original) << "the file restored is not the host";
    EXPECT_FALSE(FileExists(record.copyPath));
}

TEST_F(WideNames, EndProcessEndsTheHostInTheCjkFolder) {
    ASSERT_TRUE(ShowFreshRows());
    int row = Row(s_cjkHost);
    ASSERT_GE(row, 0);
    FakeDesktop& boxes = F().FreshDesktop(IDOK);
    m_dialogs.Answer(IDOK);
    F().FocusListRow(row);
    F().Command(ID_END_PROCESS);
    ASSERT_EQ(m_dialogs.seen.size(), 1u);
    EXPECT_TRUE(SamePath(m_dialogs.seen[0].headingW, s_cjkHost));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(ProcessExists(s_keyboard->Id()));
}

}  // namespace
