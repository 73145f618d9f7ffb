// The hyperlink control "URLWindow" of setup and uninstall.
//
// A child window whose window text holds four fields separated by "|": the
// text shown, the target, the font face or "default", and the font size, e.g.
// "www.tarnwick.com|https://www.tarnwick.com/|default|8". It sizes itself to
// its text, paints it underlined on a transparent background, follows the
// mouse pointer with a 100 ms timer and opens the target with the shell's
// "open" verb on a left-button release.
#pragma once

#include <windows.h>

#include <string>

namespace installer {

constexpr wchar_t kURLWindowClass[] = L"URLWindow";

// How the links of one program look: the text colour with the pointer
// outside and inside the link, and the class cursor (a cursor resource of
// the program).
struct URLWindowLook {
    COLORREF crNormal;
    COLORREF crHover;
    WORD wCursorId;
};

// The four fields of a link's window text. Missing fields stay empty.
struct URLWindowFields {
    std::wstring text;
    std::wstring target;
    std::wstring face;
    int size = 0;
};

URLWindowFields ParseURLWindowText(const std::wstring& windowText);

// Registers the class for the whole process; every link of the process then
// uses the given look. False when the class cannot be registered.
bool RegisterURLWindowClass(HINSTANCE instance, const URLWindowLook& look);

}  // namespace installer
