#include "installer_shared/dll_search.h"

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

}  // namespace installer
