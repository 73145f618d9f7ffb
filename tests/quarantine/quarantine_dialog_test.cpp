// The quarantine manager over a real index: Enter restores and the dialog
// stays, Delete removes a copy, and the list is refilled after each. The
// record restored was written in the form of earlier versions.
#include "framework/list_view_ctrl.h"
#include "fake_desktop.h"
#include "common/string_resource.h"
#include "quarantine/quarantine_dlg.h"
#include "quarantine/quarantine_store.h"
#include "resources/resource.h"
#include "test_support.h"
#include "tool/tool_client.h"
#include "../quarantine/quarantine_home.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// What the dialog showed at each step, seen from inside its modal loop.
struct Seen {
    int step = 0;
    std::vector<std::wstring> rowsAtStart, rowsAfterRestore, rowsAfterDelete;
    int columns = -1, iconsAfterRestore = -1, selectedAfterRestore = -1, lastImageAfterRestore = -1;
    bool openAfterRestore = false;
    std::wstring middleSource;
};
Seen g_seen;

std::vector<std::wstring> RowNames(const fw::ListViewCtrl& list) {
    std::vector<std::wstring> names;
    for (int row = 0; row < list.ItemCount(); ++row) names.push_back(list.ItemText(row, 0));
    return names;
}

void Select(const fw::ListViewCtrl& list, int row) {
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
}

// One step per tick: Enter on the middle row, Delete on the last, Close;
// the ticks while the tool makes a change wait for it, as a user does.
void CALLBACK DriveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", "Quarantined files");
    if (!dialog || IsToolRunning()) return;
    fw::ListViewCtrl list(GetDlgItem(dialog, IDC_QUARANTINE_LIST));
    if (g_seen.step == 0) {
        g_seen.columns = list.ColumnCount();
        g_seen.rowsAtStart = RowNames(list);
        g_seen.middleSource = list.ItemText(1, 1);
        Select(list, 1);
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(list, WM_KEYUP, VK_RETURN, 0);
    } else if (g_seen.step == 1) {
        g_seen.openAfterRestore = IsWindowVisible(dialog) != FALSE;
        g_seen.rowsAfterRestore = RowNames(list);
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = 1;
        ListView_GetItem(list, &item);
        g_seen.lastImageAfterRestore = item.iImage;
        g_seen.iconsAfterRestore = ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL));
        g_seen.selectedAfterRestore = static_cast<int>(ListView_GetSelectedCount(list));
        Select(list, 1);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_QUARANTINE_DELETE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, ID_QUARANTINE_DELETE)));
    } else {
        g_seen.rowsAfterDelete = RowNames(list);
        KillTimer(nullptr, timer);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    ++g_seen.step;
}

// A record as an earlier version wrote it: ANSI paths, no mark; its copy is
// made here under the name the record gives.
bool AppendOldRecord(const CQuarantineStore& store, const std::string& copy, const std::string& source,
                     const std::string& content) {
    std::string index = ReadTextFile(store.Folder() + L"\\index.dat");
    return WriteTextFile(Wide(copy), content) &&
           WriteTextFile(store.Folder() + L"\\index.dat", index + "0BADCAFE\r\n" + copy + "\r\n" + source + "\r\n");
}

TEST(QuarantineDialog, EnterRestoresAndStaysDeleteRemovesAndTheListFollowsTheIndex) {
    TempFolder program;
    TempFolder sources;
    ASSERT_TRUE(UseQuarantineHome(program.Path()));
    CQuarantineStore store(Wide(program.Path()));
    // A program with icons first, then two files without; the middle one
    // quarantined by an earlier version, with a name in the code page.
    std::string first = sources.File("first.exe");
    ASSERT_TRUE(CopyFileA(ModulePath(nullptr).c_str(), first.c_str(), FALSE));
    std::string middle = sources.File("midd\xE9le.txt");
    std::string last = sources.File("last.txt");
    ASSERT_TRUE(WriteTextFile(last, "last"));
    ASSERT_TRUE(store.QuarantineFile(Wide(first).c_str()).Succeeded());
    ASSERT_TRUE(AppendOldRecord(store, Narrow(store.Folder()) + "\\midd\xE9le.txt", middle, "middle"));
    ASSERT_TRUE(store.QuarantineFile(Wide(last).c_str()).Succeeded());
    ASSERT_TRUE(DeleteFileA(first.c_str()) && DeleteFileA(last.c_str()));
    std::vector<QuarantineRecord> records = store.ReadRecords();
    ASSERT_EQ(records.size(), 3u);
    // Yes to every question.
    FakeDesktop desktop;
    desktop.boxAnswer = IDYES;
    g_seen = Seen();
    SetTimer(nullptr, 0, 200, DriveDialog);

    EXPECT_EQ(CQuarantineDlg::Show(nullptr, desktop, store), IDCANCEL);
    std::vector<std::string> boxes;
    for (const FakeDesktop::Box& box : desktop.boxes) boxes.push_back(box.text);

    EXPECT_EQ(g_seen.columns, 2) << "the name and the origin, each written once";
    EXPECT_EQ(g_seen.rowsAtStart, (std::vector<std::wstring>{L"first.exe", Wide("midd\xE9le.txt"), L"last.txt"}));
    EXPECT_EQ(g_seen.middleSource, Wide(middle));
    EXPECT_TRUE(g_seen.openAfterRestore);
    EXPECT_EQ(g_seen.rowsAfterRestore, (std::vector<std::wstring>{L"first.exe", L"last.txt"}));
    EXPECT_EQ(g_seen.lastImageAfterRestore, 1);
    EXPECT_EQ(g_seen.iconsAfterRestore, 2);
    EXPECT_EQ(g_seen.selectedAfterRestore, 0);
    EXPECT_EQ(g_seen.rowsAfterDelete, (std::vector<std::wstring>{L"first.exe"}));
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         Narrow(LoadResString(IDS_CONFIRM_RESTORE)), Narrow(LoadResString(IDS_RESTORE_DONE)),
                         Narrow(LoadResString(IDS_CONFIRM_DELETE)), Narrow(LoadResString(IDS_DELETE_DONE))}));
    EXPECT_EQ(ReadTextFile(middle), "middle");
    EXPECT_FALSE(FileExists(records[1].copyPath) || FileExists(records[2].copyPath) || FileExists(last));
    EXPECT_TRUE(FileExists(records[0].copyPath));
    std::vector<QuarantineRecord> left = store.ReadRecords();
    EXPECT_EQ(left.size() == 1 ? left[0].id : "", records[0].id);
}

}  // namespace
