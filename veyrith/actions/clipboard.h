// The clipboard: a path as Unicode text.
#pragma once

#include <windows.h>

#include <string>

// Empties the clipboard and puts text on it as CF_UNICODETEXT, exactly as
// given. Programs that ask for CF_TEXT get the system's conversion of it;
// the program itself never converts a path to the code page. False when the
// clipboard cannot be opened or the text cannot be put.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);
