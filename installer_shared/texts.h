// The user texts of setup and uninstall: their string tables, and the
// patterns among them that take words such as a path or the system's error
// text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace installer {

// A string resource of the running program, in UTF-16; empty when the
// program has none under that number.
std::wstring LoadText(UINT id);

// The pattern with each "%s" replaced by the next argument (by nothing once
// they are used up) and each "%%" by "%".
std::wstring FormatText(const std::wstring& pattern, const std::vector<std::wstring>& arguments);

}  // namespace installer
