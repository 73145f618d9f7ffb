// Which processes the tool may end: only one that runs the image the request
// names, and never one the system cannot run without.
#pragma once

#include <windows.h>

#include <string>

// True for the processes Windows needs: the system process (ids 0 and 4),
// smss, csrss, wininit, winlogon, services and lsass from the system folder,
// and any process the system marks as critical.
bool IsCriticalProcess(DWORD processId, HANDLE process, const std::wstring& image);
