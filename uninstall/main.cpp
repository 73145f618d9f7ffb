// uninstall: removes what setup installed. Started without arguments from
// the program folder, it asks the user and starts a copy of itself with
// "/run" in a work folder that only administrators can change; the copy does
// the removal and shows its report.
#include "installer_shared/dll_search.h"
#include "uninstall/phase_argument.h"
#include "uninstall/phase_one.h"
#include "uninstall/uninstall_window.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installer::RestrictLibrarySearchToSystem();
    if (uninstall::HasArgument(GetCommandLineW()))
        uninstall::RunPhaseTwo(instance);
    else
        uninstall::RunPhaseOne();
    return 0;
}
