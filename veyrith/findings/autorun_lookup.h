// Which entry of the autorun inventory starts a given executable.
#pragma once

#include "findings/findings.h"

// The first entry that starts the executable; an all-zero record and false
// when none does.
bool FindAutoRunForProcess(const CAutoRunArray& inventory, const char* exePath,
                           CAutoRunInfo& found);
