// Where setup and uninstall load DLLs from. Both run with an administrator's
// rights, and setup is often started from a download folder that any program
// of the user can write: a DLL planted there must never be loaded. So the
// search is restricted to the system folder, and every optional system DLL is
// loaded by its full path there (LoadSystemLibrary of common/system_library.h).
#pragma once

#include "common/system_library.h"

namespace installer {

// Restricts the DLL search of the process to the system folder
// (SetDefaultDllDirectories, looked up by name: older systems lack it) and
// takes the current folder out of it where that call is missing.
void RestrictLibrarySearchToSystem();

}  // namespace installer
