#include "shell/program_folder.h"

#include <windows.h>

namespace {
std::string g_strProgramFolder;
}

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A truncated path (length == MAX_PATH) is not a path.
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string folder(path, length);
    size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

const std::string& GetProgramFolder() { return g_strProgramFolder; }

void SetProgramFolder(const std::string& folder) { g_strProgramFolder = folder; }
