// The system's message box captioned with the application title. The
// program's parts show their boxes through the desktop they were given
// (framework/desktop.h); the real desktop shows them here.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// Shows text with the type flags (buttons and icon), owned by the
// application's main window when there is one; returns the button pressed.
int ShowMessage(const std::wstring& text, UINT type);
// The same with the text of a string resource.
int ShowMessage(UINT stringId, UINT type);

}  // namespace fw
