// The five-page installation wizard: a modeless property sheet in the
// wizard style with header titles, owned by the main window.
#pragma once

#include "setup_state.h"

#include <windows.h>

// Posted to the main window once Finish has done its work: the main window
// then fades the wizard out and ends the program.
const UINT kWizardFinishedMessage = WM_APP + 1;

// Creates the wizard over the owner and hands the state to each of its
// pages. False when no usable wizard control exists (after the
// common-controls message has been shown).
bool CreateWizard(CSetupState& state, HWND owner);

// Selects the wizard's current page again, so that it stays as it was.
void ReselectCurrentPage(const CSetupState& state);

// Offers a message of the thread to the wizard's dialog handling (all but
// WM_CHAR); true when the wizard took it.
bool IsWizardMessage(const CSetupState& state, MSG& message);
