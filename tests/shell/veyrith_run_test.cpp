// The real veyrith.exe with the sample hook running: started as a user
// starts it, a scan started with F5, the module found, a screenshot of the
// result saved in the build folder, then ended by the uninstaller's close
// message.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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

TEST(VeyrithRun, F5ScanFindsTheSampleHookAndTheCloseMessageEndsTheProgram) {
    TempFolder folder;
    std::string dll = folder.File("sample_hook.dll");
    std::string host = folder.File("sample_hook_host.exe");
    ASSERT_TRUE(CopyFromBin("sample_hook.dll", dll));
    ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", host));
    HookHost hook;
    ASSERT_TRUE(hook.Start(host, "-hook keyboard -window -dll " + Quoted(dll)));

    ChildProcess veyrith;
    ASSERT_TRUE(veyrith.Start(Quoted(BinDir() + "veyrith.exe")));
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor(20000, [&] { return (frame = FindVisibleFrame(veyrith.Id())) != nullptr; }));
    HWND tree = FindChildOfClass(frame, WC_TREEVIEWA);
    ASSERT_NE(tree, nullptr);
    // The start item is there once the splash has gone with its first tick.
    ASSERT_TRUE(WaitFor(5000, [&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 1; }));
    Sleep(1500);

    SetForegroundWindow(frame);
    Sleep(100);
    keybd_event(VK_F5, 0, 0, 0);
    keybd_event(VK_F5, 0, KEYEVENTF_KEYUP, 0);
    // The tree empties while the scan runs and then holds the root and the module.
    EXPECT_TRUE(WaitFor(3000, [&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 0; }));
    ASSERT_TRUE(WaitFor(30000, [&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) >= 2; }));
    HWND list = FindChildOfClass(frame, WC_LISTVIEWA);
    EXPECT_TRUE(WaitFor(5000, [&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= 1; }));
    Sleep(500);
    EXPECT_TRUE(SaveWindowPicture(frame, BinDir() + "..\\veyrith-scan-screenshot.bmp"));

    PostMessageA(frame, WM_USER, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(veyrith.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
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
