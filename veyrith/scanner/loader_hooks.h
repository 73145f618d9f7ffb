// The program's five loader hooks and the list of monitoring modules they
// fill. Both are program-wide objects built during static construction:
// the list first, then the hooks (LoadLibraryA, LoadLibraryW, LoadLibraryExA,
// LoadLibraryExW, GetProcAddress); at exit the hooks are removed in reverse,
// then the list goes.
#pragma once

#include "scanner/import_hook.h"
#include "findings/simple_str_array.h"

extern CImportHook g_hookLoadLibraryA;
extern CImportHook g_hookLoadLibraryW;
extern CImportHook g_hookLoadLibraryExA;
extern CImportHook g_hookLoadLibraryExW;
extern CImportHook g_hookGetProcAddress;

// Every module that the window manager loaded into this process since the
// program started, lower-cased, without duplicates. It only grows, from
// whatever thread the window manager loads on: read it through
// CopyRecordedModules (module_detection.h).
extern CSimpleStrArray g_monitoringModules;
