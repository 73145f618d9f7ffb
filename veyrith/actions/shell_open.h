// The shell's open as the real desktop does it (shell/system_desktop.h):
// every document, folder or page that the program opens goes through the
// desktop it was given, and the real one calls this.
#pragma once

#include <windows.h>

#include <string>

// ShellExecuteW with no directory; the shell's result is not looked at. The
// file and parameters may name any file.
void ShellOpen(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
               int show);
