// The folder of the running executable, with a trailing backslash: where the
// programs of the product find the files that ship beside them.
#pragma once

#include <windows.h>

#include <string>

// Computed afresh; empty when the path cannot be read whole.
inline std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A truncated path (length == MAX_PATH) is not a path.
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string folder(path, length);
    size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}
