// veyrith_configure: performs one privileged operation per run for veyrith.
// The switch and the request's digest come from the command line, the
// operands from the request that veyrith stored in the registry; the result
// is the exit code.
#include "operations.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunRequestedOperation(GetCommandLineW());
}
