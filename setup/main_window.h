// The full-screen background window of setup: it paints the product's
// banner, owns the wizard, asks before quitting and shows the About box.
#pragma once

#include "setup_state.h"

#include <windows.h>

bool RegisterMainWindowClass(HINSTANCE instance);

// Creates the main window, which keeps the state, with the wizard in front
// of it and shows it without activating it. False when either could not be
// created.
bool CreateMainWindow(CSetupState& state);
