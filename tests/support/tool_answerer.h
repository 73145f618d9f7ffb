// Answers the privileged tool's confirmation window as its user would, for
// the test programs that run the real tool. Linked into such a program, a
// thread looks for the window every 20 ms, notes what it asks, and presses
// "Make this change", unless a test said otherwise.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One question the tool asked: its operation and its target.
struct ToolQuestion {
    std::wstring operation;
    std::wstring target;
};

namespace tool_answers {

// The button pressed from now on: IDOK (the default) or IDCANCEL.
void AnswerWith(int button);
// The questions seen so far, oldest first; Forget empties the list.
std::vector<ToolQuestion> Questions();
void Forget();

}  // namespace tool_answers
