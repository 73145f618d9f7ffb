// Paths and module names are compared without regard to case: the lower-
// cased copy that both sides of such a comparison take, and the comparison
// itself.
#pragma once

#include <string>

// A lower-cased copy of a UTF-16 text (the system's case rules).
std::wstring LowerCase(const wchar_t* text);

// True when both texts are equal without regard to case, compared the way
// the file system compares names (ordinal, upper-cased).
bool SameText(const std::wstring& a, const std::wstring& b);
