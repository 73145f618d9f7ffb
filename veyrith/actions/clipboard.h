// The clipboard: a path as ANSI text and as Unicode text.
#pragma once

#include <windows.h>

#include <string>

// Empties the clipboard and puts text on it as CF_TEXT and as
// CF_UNICODETEXT, converted with the system's ANSI code page so both forms
// name the same file. False when the clipboard cannot be opened or a form
// cannot be put.
bool CopyTextToClipboard(HWND owner, const std::string& text);
