// Every message box of the program goes through ShowMessage: the caption is
// the application title. Tests install a hook that sees each box and answers
// it instead of the user.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace fw {

// Receives the text and the type flags; returns the button (IDOK, IDYES...).
// The text is UTF-16: a message may name a file that the code page cannot.
using MessageBoxHook = std::function<int(const std::wstring& text, UINT type)>;

// Replaces the real box by the hook; an empty hook restores the real one.
void SetMessageBoxHook(MessageBoxHook hook);

// Shows text with the type flags (buttons and icon), owned by the
// application's main window when there is one; returns the button pressed.
int ShowMessage(const std::wstring& text, UINT type);
// The same with the text of a string resource.
int ShowMessage(UINT stringId, UINT type);

}  // namespace fw
