#include "installer_shared/system_library.h"

namespace installer {
namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);

// LOAD_LIBRARY_SEARCH_SYSTEM32, which older headers lack.
constexpr DWORD kSearchSystemFolder = 0x00000800;

}  // namespace

void RestrictLibrarySearchToSystem() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = FunctionOf<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystemFolder)) return;
    // An empty text removes the current folder from the search.
    auto setDirectory = FunctionOf<SetDllDirectoryFn>(kernel, "SetDllDirectoryW");
    if (setDirectory) setDirectory(L"");
}

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
    // folder, also where the search could not be restricted.
    std::wstring path = folder + L"\\" + fileName;
    return CLibrary(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace installer
