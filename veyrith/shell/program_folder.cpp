#include "shell/program_folder.h"

#include <windows.h>

namespace {
std::wstring g_strProgramFolder;
}

const std::wstring& GetProgramFolder() { return g_strProgramFolder; }

void SetProgramFolder(const std::wstring& folder) { g_strProgramFolder = folder; }
