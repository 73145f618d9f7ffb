// Detection of monitoring modules: a library that the window manager's
// user-interface library asks to load into this process is the module of a
// system-wide hook (or of a similar system-wide extension).
#pragma once

#include <windows.h>

#include "findings/simple_str_array.h"

// True when the code at returnAddress lies in a module whose path, lower-
// cased, contains "user32.dll".
bool IsWindowManagerCaller(const void* returnAddress);

// True when the lower-cased ANSI module name contains one of the harmless
// system modules that the window manager loads by itself.
bool IsExcludedModuleName(const char* lowerName);

// Records a requested library name: converted to ANSI with the thread's code
// page, lower-cased, and appended unless list holds it already (compared
// without regard to case) or it is excluded. True when it was appended.
bool RecordRequestedModule(LPCWSTR fileName, CSimpleStrArray& list);
