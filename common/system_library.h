// The system's own DLLs, loaded by their full path in the system folder and
// never found by a search: a DLL of the same name in the current folder or
// beside the program is never loaded in their place.
#pragma once

#include "common/owners.h"

#include <windows.h>

#include <string>

// The system folder (System32), without a trailing backslash; empty when the
// system does not tell it.
std::wstring SystemFolder();

// Loads a DLL of the system from the system folder by its full path; empty
// when it is not there.
CLibrary LoadSystemLibrary(const wchar_t* fileName);

// A function of a module, looked up by name; null when the module lacks it
// (or is null).
template <typename Function>
Function FunctionOf(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
