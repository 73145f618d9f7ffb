// Detection of monitoring modules: a library that the window manager's
// user-interface library asks to load into this process is the module of a
// system-wide hook (or of a similar system-wide extension).
#pragma once

#include <windows.h>


// True when the code at returnAddress lies in a module whose path, lower-
// cased, contains "user32.dll". The module found so is remembered: the
// window manager asks for a refused module at each call of its hooks, and
// the test then costs one query of the address.
bool IsWindowManagerCaller(const void* returnAddress);

// True for the harmless modules that the window manager loads by itself,
// and only when they are what their names claim: msctf.dll, uxtheme.dll and
// indicdll.dll as files of the system folders (System32 or SysWOW64, the
// Windows folder) that, where the system keeps catalogs, one of its
// catalogs holds; veyrith.exe as the running executable. A bare name is
// the file the loader's search finds. Any other file of such a name, and
// any name that merely contains one, is recorded like every module.
bool IsLeftOutModule(const wchar_t* path);

// Looks the system modules up in the system's catalogs ahead of the scan,
// so that no request of the window manager waits for that.
void PrepareLeftOutModules();
