// veyrith_configure: performs one privileged operation per run for veyrith.
// The switch comes from the command line, the operands from the request that
// veyrith stored in the registry; the result is the exit code.
#include "operations.h"

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    unsigned char buffer[kToolRequestBufferSize];
    if (!ReadStoredRequest(buffer)) return 0;
    ToolSwitch which = MatchSwitch(ParameterString(GetCommandLineA()));
    if (which == ToolSwitch::None) return 0;
    ToolRequest request;
    std::memcpy(&request, buffer, sizeof(request));
    return RunOperation(which, request);
}
