// The pieces that setup and the uninstaller share: the patterns of their
// texts and their message loop.
#include "installer_shared/message_loop.h"
#include "installer_shared/texts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(InstallerTexts, PatternTakesItsArgumentsInOrder) {
    EXPECT_EQ(installer::FormatText(L"Error deleting file: %s (%s)\r\n", {L"C:\\a b\\x.exe", L"Access denied."}),
              L"Error deleting file: C:\\a b\\x.exe (Access denied.)\r\n");
}

TEST(InstallerTexts, MissingArgumentsLeaveNothingAndPercentStays) {
    EXPECT_EQ(installer::FormatText(L"%s and %s, 100%%", {L"one"}), L"one and , 100%");
    EXPECT_EQ(installer::FormatText(L"%d %s", {L"50%s"}), L"%d 50%s");
}

constexpr UINT kTaken = WM_APP + 1;
constexpr UINT kPassedOn = WM_APP + 2;
std::vector<UINT> g_dispatched;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTaken || message == kPassedOn) g_dispatched.push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

// What the filter takes goes no further; everything else reaches its window;
// WM_QUIT ends the loop.
TEST(InstallerMessageLoop, FilterSeesEveryMessageFirstAndKeepsWhatItTakes) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"InstallerMessageLoopTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_dispatched.clear();
    std::vector<UINT> filtered;
    PostMessageW(window, kTaken, 0, 0);
    PostMessageW(window, kPassedOn, 0, 0);
    PostQuitMessage(0);
    installer::RunMessageLoop([&](MSG& message) {
        if (message.hwnd != window) return false;
        filtered.push_back(message.message);
        return message.message == kTaken;
    });
    EXPECT_EQ(filtered, (std::vector<UINT>{kTaken, kPassedOn}));
    EXPECT_EQ(g_dispatched, std::vector<UINT>{kPassedOn});
    DestroyWindow(window);
}

}  // namespace
