// Every document, folder or page that the program opens through the shell
// goes through ShellOpen. Tests replace the shell call so that no browser
// or Explorer window starts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Receives what would go to ShellExecuteW: owner, verb, file, parameters
// and the show command.
using ShellOpenHook = std::function<void(HWND owner, const std::string& verb, const std::wstring& file,
                                         const std::wstring& parameters, int show)>;
// An empty hook restores the real shell call.
void SetShellOpenHook(ShellOpenHook hook);

// ShellExecuteW with no directory; the shell's result is not looked at. The
// verb is plain ASCII; the file and parameters may name any file.
void ShellOpen(HWND owner, const char* verb, const std::wstring& file, const std::wstring& parameters,
               int show);
