// uninstall: removes what setup installed. Started without arguments from
// the program folder, it asks the user and starts a temporary copy of itself
// with "/run", which does the removal and shows its report.
#include "uninstall/command_line.h"
#include "uninstall/phase_one.h"
#include "uninstall/uninstall_window.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* commandLine = GetCommandLineA();
    if (uninstall::HasArgument(commandLine))
        uninstall::RunPhaseTwo(instance);
    else
        uninstall::RunPhaseOne(commandLine);
    return 0;
}
