// The program's five loader hooks and the record of the window manager's
// requests they fill (g_hookRequests, hook_requests.h). All are
// program-wide objects built during static construction: the record first,
// then the hooks (LoadLibraryA, LoadLibraryW, LoadLibraryExA, LoadLibraryExW,
// GetProcAddress); at exit the hooks are removed in reverse, then the
// record goes.
#pragma once

#include "scanner/import_hook.h"
#include "scanner/hook_requests.h"

extern CImportHook g_hookLoadLibraryA;
extern CImportHook g_hookLoadLibraryW;
extern CImportHook g_hookLoadLibraryExA;
extern CImportHook g_hookLoadLibraryExW;
extern CImportHook g_hookGetProcAddress;
