// Detection of monitoring modules: a library that the window manager's
// user-interface library asks to load into this process is the module of a
// system-wide hook (or of a similar system-wide extension).
#pragma once

#include <windows.h>

#include "findings/simple_str_array.h"

// True when the code at returnAddress lies in a module whose path, lower-
// cased, contains "user32.dll".
bool IsWindowManagerCaller(const void* returnAddress);

// True for the harmless modules that the window manager loads by itself,
// and only when they are what their names claim: msctf.dll, uxtheme.dll and
// indicdll.dll as files of the system folders (System32 or SysWOW64, the
// Windows folder), veyrith.exe as the running executable. A bare name is
// the file the loader's search finds. Any other file of such a name, and
// any name that merely contains one, is recorded like every module.
bool IsLeftOutModule(const wchar_t* path);

// Records a requested library name: in UTF-16 as the window manager gave it,
// whole whatever its length, lower-cased, and appended unless list holds it already
// (compared without regard to case) or it is left out (IsLeftOutModule). The look-up and the
// append are one step under the detection lock, so loads on several threads
// record a name once. True when it was appended.
bool RecordRequestedModule(LPCWSTR fileName, CSimpleStrArray& list);

// Appends a copy of every name of list, in order, to copy, under the same
// lock: the way to read a list that loads on other threads may be growing.
// False when memory ran out (copy then holds what was copied so far).
bool CopyRecordedModules(const CSimpleStrArray& list, CSimpleStrArray& copy);

// Switches recording on or off for the whole process (on at start). Off,
// RecordRequestedModule records nothing: how a test makes a scanner that is
// blind on its system.
void SetDetectionEnabled(bool enabled);
