// User texts of uninstall, from its string table.
#pragma once

#include <windows.h>

#include <string>

namespace uninstall {

// A string resource of the running program; empty when the program has none
// under that number.
std::wstring LoadText(UINT id);

}  // namespace uninstall
