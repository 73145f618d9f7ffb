// Paths as the uninstaller compares them: it recognises the scanner and its
// own shortcuts by full path, never by a name alone (IsSamePath and
// ProcessImagePath of common/path_identity.h).
#pragma once

#include "common/path_identity.h"
#include "common/owners.h"

#include <string>

namespace uninstall {

// folder + "\" + name, with one backslash between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// Everything before the last backslash; empty when there is none.
std::wstring ParentOf(const std::wstring& path);

// A process opened to read its program file and to wait for its end; an
// empty owner when it cannot be opened.
CHandle OpenForInspection(DWORD processId);

}  // namespace uninstall
