// The folder of the running executable, with a trailing backslash: where the
// programs of the product find the files that ship beside them.
#pragma once

#include <windows.h>

#include <string>

// Computed afresh, in UTF-16 (the folder may hold any name); empty when the
// path cannot be read whole.
inline std::wstring ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A truncated path (length == MAX_PATH) is not a path.
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}
