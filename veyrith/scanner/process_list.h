// The identifiers of the running processes.
#pragma once

#include <windows.h>

#include <vector>

// Lists the running processes with a buffer of bufferBytes (so at most
// bufferBytes / 4 of them); empty when the list cannot be read.
std::vector<DWORD> ListProcessIds(DWORD bufferBytes);
