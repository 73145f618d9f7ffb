// Paths as the uninstaller compares them: it recognises the scanner and its
// own shortcuts by full path, never by a name alone.
#pragma once

#include "installer_shared/owners.h"

#include <string>

namespace uninstall {

// folder + "\" + name, with one backslash between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// Everything before the last backslash; empty when there is none.
std::wstring ParentOf(const std::wstring& path);

// The form in which two spellings of one path compare equal: full, long
// where the file exists (short 8.3 names expanded), and upper-cased.
std::wstring ComparablePath(const std::wstring& path);
bool IsSamePath(const std::wstring& first, const std::wstring& second);

// The full path of this program's own file; empty when it cannot be read.
std::wstring OwnProgramPath();

// A process opened to read its program file and to wait for its end; an
// empty owner when it cannot be opened.
installer::CHandle OpenForInspection(DWORD processId);

// The full path of the program file that a process runs; empty when it
// cannot be read.
std::wstring ImageOf(HANDLE process);

}  // namespace uninstall
