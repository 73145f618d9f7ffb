// Where a test keeps its quarantine.
#pragma once

#include <windows.h>

#include <string>

#include "quarantine/quarantine_store.h"
#include "test_support.h"
#include "tool/tool_client.h"

// The quarantine lives beside the tool: a copy of the real tool in folder
// keeps it there, and the program looks for it there too.
inline bool UseQuarantineHome(const std::string& folder) {
    if (!CopyFileA((testing_support::BinDir() + "veyrith_configure.exe").c_str(), (folder + "veyrith_configure.exe").c_str(), FALSE))
        return false;
    SetQuarantineProgramFolder(testing_support::Wide(folder));
    SetToolFolder(testing_support::Wide(folder));
    return true;
}
