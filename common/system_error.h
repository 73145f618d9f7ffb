// The system's own text for an error code, the one way the programs show
// why a system call failed.
#pragma once

#include <windows.h>

#include <string>

// The text the system has for the error (without its trailing line break),
// or "Error N" when it has none.
std::wstring SystemErrorText(DWORD error);

// The same for the calling thread's last error; read it right after the call
// that failed.
inline std::wstring LastErrorText() { return SystemErrorText(GetLastError()); }
