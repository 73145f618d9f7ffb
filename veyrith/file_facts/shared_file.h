// A file opened only to be read, as the facts of a file read it: shared for
// reading, writing and deletion so that no program is held up by the check,
// and never loaded as a module.
#pragma once

#include <windows.h>

#include <string>

#include "common/owners.h"

// The file at path open for reading; empty when it cannot be opened or is
// not a file on a disk (a pipe, a device or a console, whose reads could
// wait for ever). error gets the system's code then.
CHandle OpenSharedFile(const std::wstring& path, DWORD* error = nullptr);
