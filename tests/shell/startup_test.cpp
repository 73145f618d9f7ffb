// The real veyrith.exe: its main window, and a second start while it runs.
#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::BinDir;
using testing_support::ChildProcess;
using testing_support::Quoted;

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(hwnd)))
        search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly) {
    WindowSearch search{processId, visibleOnly, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Caption(HWND hwnd) {
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

// The visible top-level window with a caption, once the program shows it.
HWND WaitForMainWindow(const ChildProcess& process, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs && process.Running()) {
        for (HWND hwnd : TopLevelWindowsOf(process.Id(), true))
            if (GetWindowTextLengthA(hwnd) > 0) return hwnd;
        Sleep(50);
    }
    return nullptr;
}

TEST(Startup, MainWindowAndSingleInstance) {
    ChildProcess first;
    ASSERT_TRUE(first.Start(Quoted(BinDir() + "veyrith.exe")));
    HWND frame = WaitForMainWindow(first, 20000);
    ASSERT_NE(frame, nullptr);

    // The uninstaller finds the program by this exact caption.
    EXPECT_EQ(Caption(frame), "Veyrith");
    EXPECT_EQ(FindWindowA(nullptr, "Veyrith"), frame);

    // Centred on the desktop's work area.
    RECT area = {}, rect = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(frame, &rect);
    EXPECT_NEAR((rect.left + rect.right) / 2, (area.left + area.right) / 2, 2);
    EXPECT_NEAR((rect.top + rect.bottom) / 2, (area.top + area.bottom) / 2, 2);

    // It cannot be made smaller than 300 x 300.
    SetWindowPos(frame, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(frame, &rect);
    EXPECT_GE(rect.right - rect.left, 300);
    EXPECT_GE(rect.bottom - rect.top, 300);

    // A second start ends by itself without showing any window.
    ChildProcess second;
    ASSERT_TRUE(second.Start(Quoted(BinDir() + "veyrith.exe")));
    bool secondShowedWindow = false;
    DWORD start = GetTickCount();
    while (second.Running() && GetTickCount() - start < 15000) {
        if (!TopLevelWindowsOf(second.Id(), true).empty()) secondShowedWindow = true;
        Sleep(20);
    }
    EXPECT_FALSE(second.Running());
    EXPECT_FALSE(secondShowedWindow);

    // The first goes on untouched and closes normally.
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(Caption(frame), "Veyrith");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(first.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
