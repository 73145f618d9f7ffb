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
    const std::wstring home = testing_support::Wide(folder);
    if (!CopyFileW(testing_support::Wide(testing_support::BinDir() + "veyrith_configure.exe").c_str(),
                   (home + L"veyrith_configure.exe").c_str(), FALSE))
        return false;
    SetQuarantineProgramFolder(home);
    SetToolFolder(home);
    return true;
}
