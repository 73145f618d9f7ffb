// The real veyrith.exe with the sample hook running: started as a user
// starts it, a scan started with F5, the module found, a screenshot of the
// result saved in the build folder, then ended by the uninstaller's close
// message.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "../scanner/hook_host.h"
#include "test_support.h"

using namespace testing_support;

namespace {

struct FrameSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchFrame(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<FrameSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char caption[32] = {};
    GetWindowTextA(hwnd, caption, sizeof(caption));
    if (owner != search->processId || !IsWindowVisible(hwnd) || lstrcmpA(caption, "Veyrith") != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindVisibleFrame(DWORD processId) {
    FrameSearch search = {processId, nullptr};
    EnumWindows(&MatchFrame, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    if (lstrcmpiA(name, search->className) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindChildOfClass(HWND parent, const char* className) {
    ChildSearch search = {className, nullptr};
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Done>
bool WaitFor(DWORD timeoutMs, Done done) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

// Starts the real program as a user does, waits for its window and its start
// item (there once the splash has gone with its first tick), and presses F5
// in it.
void StartAndPressF5(ChildProcess& veyrith, HWND& frame, HWND& tree) {
    ASSERT_TRUE(veyrith.Start(Quoted(BinDir() + "veyrith.exe")));
    ASSERT_TRUE(WaitFor(20000, [&] { return (frame = FindVisibleFrame(veyrith.Id())) != nullptr; }));
    tree = FindChildOfClass(frame, WC_TREEVIEWA);
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(WaitFor(5000, [&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 1; }));
    Sleep(1500);
    SetForegroundWindow(frame);
    Sleep(100);
    keybd_event(VK_F5, 0, 0, 0);
    keybd_event(VK_F5, 0, KEYEVENTF_KEYUP, 0);
}

TEST(VeyrithRun, F5ScanFindsTheSampleHookAndTheCloseMessageEndsTheProgram) {
    TempFolder folder;
    std::string dll = folder.File("sample_hook.dll");
    std::string host = folder.File("sample_hook_host.exe");
    ASSERT_TRUE(CopyFromBin("sample_hook.dll", dll));
    ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", host));
    HookHost hook;
    ASSERT_TRUE(hook.Start(host, "-hook keyboard -window -dll " + Quoted(dll)));

    ChildProcess veyrith;
    HWND frame = nullptr, tree = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAndPressF5(veyrith, frame, tree));
    // The tree empties while the scan runs and then holds the root and the module.
    EXPECT_TRUE(WaitFor(3000, [&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 0; }));
    ASSERT_TRUE(WaitFor(30000, [&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) >= 2; }));
    HWND list = FindChildOfClass(frame, WC_LISTVIEWA);
    EXPECT_TRUE(WaitFor(5000, [&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= 1; }));
    Sleep(500);
    EXPECT_TRUE(SaveWindowPicture(frame, BinDir() + "..\\veyrith-scan-screenshot.bmp"));

    PostMessageA(frame, WM_USER, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(veyrith.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
}

// The texts of every item of a tree view of another process, read through
// a buffer in that process.
std::vector<std::wstring> TreeItemTexts(HWND tree, DWORD processId) {
    std::vector<std::wstring> texts;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return texts;
    const SIZE_T kTextUnits = 1024;
    BYTE* remote = static_cast<BYTE*>(
        VirtualAllocEx(process, nullptr, sizeof(TVITEMW) + kTextUnits * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    std::vector<HTREEITEM> pending;
    if (remote) pending.push_back(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        if (!item) continue;
        TVITEMW query = {};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
        query.cchTextMax = kTextUnits;
        std::vector<wchar_t> text(kTextUnits + 1, 0);
        if (WriteProcessMemory(process, remote, &query, sizeof(query), nullptr) &&
            SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote + sizeof(TVITEMW), text.data(), kTextUnits * sizeof(wchar_t), nullptr))
            texts.push_back(text.data());
        pending.push_back(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)));
        pending.push_back(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item)));
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return texts;
}

bool AnyTextNames(const std::vector<std::wstring>& texts, const std::string& dll) {
    for (const std::wstring& text : texts) {
        if (Lower(Narrow(text)).find(Lower(dll)) != std::string::npos) return true;
    }
    return false;
}

// Hook modules that fight a scanner once mapped into it (see the console
// scan's test of the same set), against the window: each is listed, the
// scan ends in its normal time, and the window still answers.
TEST(VeyrithRun, HostileHookModulesAreAllListedAndTheWindowLivesOn) {
    const char* const hostiles[][2] = {
        {"hostile_refuse.dll", "keyboard"},     {"hostile_exit.dll", "getmessage"},
        {"hostile_sleep_attach.dll", "callwndproc"}, {"hostile_sleep_hook.dll", "cbt"},
        {"hostile_crash_hook.dll", "mouse"},    {"hostile_erase.dll", "msgfilter"},
    };
    std::vector<std::unique_ptr<HookHost>> hosts;
    for (const auto& hostile : hostiles) {
        hosts.emplace_back(new HookHost);
        ASSERT_TRUE(hosts.back()->Start(BinDir() + "sample_hook_host.exe",
                                        std::string("-hook ") + hostile[1] + " -dll " + Quoted(BinDir() + hostile[0])))
            << hostile[0];
    }
    ChildProcess veyrith;
    HWND frame = nullptr, tree = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAndPressF5(veyrith, frame, tree));
    const size_t listed = 1 + sizeof(hostiles) / sizeof(hostiles[0]);
    EXPECT_TRUE(WaitFor(3000, [&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 0; }));
    EXPECT_TRUE(WaitFor(30000, [&] { return static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)) >= listed; }))
        << "the scan did not end in its time";
    ASSERT_TRUE(veyrith.Running());
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    std::vector<std::wstring> texts = TreeItemTexts(tree, veyrith.Id());
    for (const auto& hostile : hostiles) EXPECT_TRUE(AnyTextNames(texts, hostile[0])) << hostile[0] << " is not listed";

    PostMessageW(frame, WM_USER, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(veyrith.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
    for (auto& host : hosts) EXPECT_TRUE(host->Stop());
}

// Another program that holds a mutex of the program's name keeps nothing
// from starting; a second start of the real program still hands over to
// the first and ends at once.
TEST(VeyrithRun, AForeignMutexDoesNotKeepItFromStartingAndASecondStartHandsOver) {
    HANDLE squatter = CreateMutexA(nullptr, TRUE, "Veyrith");
    ASSERT_NE(squatter, nullptr);
    ChildProcess first;
    ASSERT_TRUE(first.Start(Quoted(BinDir() + "veyrith.exe")));
    HWND frame = nullptr;
    EXPECT_TRUE(WaitFor(20000, [&] { return (frame = FindVisibleFrame(first.Id())) != nullptr; }));
    CloseHandle(squatter);

    ChildProcess second;
    ASSERT_TRUE(second.Start(Quoted(BinDir() + "veyrith.exe")));
    DWORD code = 1;
    EXPECT_TRUE(second.Wait(10000, &code)) << "the second start did not hand over";
    EXPECT_TRUE(first.Running());
    if (frame) PostMessageA(frame, WM_USER, 0, 0);
    EXPECT_TRUE(first.Wait(10000, &code));
}

}  // namespace
