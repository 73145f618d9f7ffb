// Where setup and uninstall load DLLs from. Both run with an administrator's
// rights, and setup is often started from a download folder that any program
// of the user can write: a DLL planted there must never be loaded. So the
// search is restricted to the system folder, and every optional system DLL is
// loaded by its full path there.
#pragma once

#include "common/owners.h"

#include <string>

namespace installer {

// Restricts the DLL search of the process to the system folder
// (SetDefaultDllDirectories, looked up by name: older systems lack it) and
// takes the current folder out of it where that call is missing.
void RestrictLibrarySearchToSystem();

// The system folder (System32), without a trailing backslash; empty when the
// system does not tell it.
std::wstring SystemFolder();

// Loads a DLL of the system from the system folder by its full path; empty
// when it is not there.
CLibrary LoadSystemLibrary(const wchar_t* fileName);

// A function of a module, looked up by name; null when the module lacks it.
template <typename Function>
Function FunctionOf(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace installer
