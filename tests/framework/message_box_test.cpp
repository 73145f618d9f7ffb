// The framework's own message box is the system's, with the application
// title as its caption.
#include "framework/application.h"
#include "framework/message_box.h"

#include <gtest/gtest.h>

namespace {

std::string g_boxText;
void CALLBACK AnswerNo(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowA("#32770", "Framework Test");
    if (!box) return;
    KillTimer(nullptr, timer);
    char text[256] = {};
    // The box's text is its static control with id 0xFFFF.
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    g_boxText = text;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
}

TEST(MessageBoxes, RealBoxCarriesTheApplicationTitle) {
    fw::Application app;
    g_boxText.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerNo);
    int answer = fw::ShowMessage(L"Quit now?", MB_YESNO | MB_ICONQUESTION);
    KillTimer(nullptr, timer);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(g_boxText, "Quit now?");
}

}  // namespace
