// Strings from the string table, by number, in UTF-16.
#pragma once

#include <windows.h>

#include <string>

// String number of the application title (message box captions, the main
// window's caption).
constexpr UINT kAppTitleStringId = 57344;

// The module whose resources the strings come from (the running program by
// default; tests and tools may point it elsewhere).
void SetResourceModule(HMODULE module);
HMODULE ResourceModule();

// The string with the given number, empty when there is none. The buffer
// grows until the whole string fits.
std::wstring LoadResString(UINT id);
