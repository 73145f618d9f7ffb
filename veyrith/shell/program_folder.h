// The program folder: the running executable's folder with a trailing
// backslash. The main frame computes it once; the tool client, help and the
// quarantine find their files through it.
#pragma once

#include <string>

#include "common/executable_folder.h"

// The program-wide copy; empty until the main frame has set it.
const std::wstring& GetProgramFolder();
void SetProgramFolder(const std::wstring& folder);
