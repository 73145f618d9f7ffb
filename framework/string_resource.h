// Strings from the string table, by number.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The module whose resources the strings come from (the running program by
// default; tests and tools may point it elsewhere).
void SetResourceModule(HMODULE module);
HMODULE ResourceModule();

// The string with the given number, empty when there is none. The buffer
// grows until the whole string fits.
std::string LoadResString(UINT id);
// The same string as UTF-16, for texts that are shown together with paths
// and names that the code page cannot hold.
std::wstring LoadResStringW(UINT id);

}  // namespace fw
