// Copying the product files, creating the Start-menu shortcuts and writing
// the registry values that the uninstaller and the system's list of
// installed programs read.
#pragma once

#include "setup_state.h"

#include <windows.h>

// Runs the modal installation dialog, which copies the files and creates
// the shortcuts that the state's choices name. True when it ended normally;
// when the user cancels a failed copy the setup program ends inside.
bool RunInstallationDialog(CSetupState& state, HWND owner);

// The product key and the uninstall registration under HKEY_LOCAL_MACHINE.
// Failures are not reported.
void WriteRegistryValues(const CSetupState& state);
