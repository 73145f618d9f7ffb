// The second phase of the uninstaller, run from the copy in the work folder:
// the progress and report window (dialog 104) that does the removal once it
// is shown.
#pragma once

#include <windows.h>

namespace uninstall {

// Registers the link control, shows the window and runs its message loop
// until the window is closed; then leaves the work folder.
void RunPhaseTwo(HINSTANCE instance);

}  // namespace uninstall
