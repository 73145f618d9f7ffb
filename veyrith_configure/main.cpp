// veyrith_configure: performs one privileged operation per run for veyrith.
// The switch and the request's digest come from the command line, the
// operands from the request that veyrith stored in the registry; the result
// is the exit code. A change that destroys anything waits for the user's
// OK in the tool's own window.
#include "operations.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CConfirmWindow window(instance);
    return RunRequestedOperation(GetCommandLineW(), window);
}
