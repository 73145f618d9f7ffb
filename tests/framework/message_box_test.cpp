// Message boxes: the test hook answers them; without it the real box
// appears with the application title as its caption.
#include "application.h"
#include "message_box.h"

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

TEST(MessageBoxes, HookSeesTextAndTypeAndAnswers) {
    std::string text;
    UINT type = 0;
    fw::SetMessageBoxHook([&](const std::string& t, UINT flags) {
        text = t;
        type = flags;
        return IDYES;
    });
    EXPECT_EQ(fw::ShowMessage(3, MB_YESNO | MB_ICONEXCLAMATION), IDYES);
    EXPECT_EQ(text.size(), 300u);
    EXPECT_EQ(type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    fw::SetMessageBoxHook(nullptr);
}

TEST(MessageBoxes, RealBoxCarriesTheApplicationTitle) {
    fw::Application app;
    g_boxText.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerNo);
    int answer = fw::ShowMessage("Quit now?", MB_YESNO | MB_ICONQUESTION);
    KillTimer(nullptr, timer);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(g_boxText, "Quit now?");
}

}  // namespace
