#include "common/system_library.h"

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder, length);
}

CLibrary LoadSystemLibrary(const wchar_t* fileName) {
    std::wstring folder = SystemFolder();
    if (folder.empty()) return CLibrary();
    // The DLL's own imports are then looked for beside it, in the system
    // folder, also where the process's search could not be restricted.
    std::wstring path = folder + L"\\" + fileName;
    return CLibrary(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
