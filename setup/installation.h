// Copying the product files, creating the Start-menu shortcuts and writing
// the registry values that the uninstaller and the system's list of
// installed programs read.
#pragma once

#include <windows.h>

// Runs the modal installation dialog, which copies the files and creates
// the shortcuts. True when it ended normally; when the user cancels a
// failed copy the setup program ends inside.
bool RunInstallationDialog(HWND owner);

// The product key and the uninstall registration under HKEY_LOCAL_MACHINE.
// Failures are not reported.
void WriteRegistryValues();
