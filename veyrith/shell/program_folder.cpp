#include "shell/program_folder.h"

#include <windows.h>

namespace {
std::string g_strProgramFolder;
}

const std::string& GetProgramFolder() { return g_strProgramFolder; }

void SetProgramFolder(const std::string& folder) { g_strProgramFolder = folder; }
