#include "common/path_identity.h"

#include "common/owners.h"
#include "common/system_library.h"

#include <cwchar>

namespace {

// Long enough for any path the loader or the process functions hand over.
constexpr DWORD kPathChars = 32768;

std::wstring FullPath(const wchar_t* path) {
    std::wstring full(kPathChars, L'\0');
    DWORD length = GetFullPathNameW(path, kPathChars, &full[0], nullptr);
    if (length == 0 || length >= kPathChars) return std::wstring();
    full.resize(length);
    return full;
}

// The long form where the file exists; the full form as it is otherwise.
std::wstring LongForm(const std::wstring& full) {
    std::wstring longPath(kPathChars, L'\0');
    DWORD length = GetLongPathNameW(full.c_str(), &longPath[0], kPathChars);
    if (length == 0 || length >= kPathChars) return full;
    longPath.resize(length);
    return longPath;
}

bool EqualNoCase(const std::wstring& first, const std::wstring& second) {
    return first.size() == second.size() &&
           CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, first.c_str(), static_cast<int>(first.size()),
                          second.c_str(), static_cast<int>(second.size())) == CSTR_EQUAL;
}

std::wstring WithBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

}  // namespace

std::wstring CanonicalPath(const wchar_t* path) {
    if (!path || !*path) return std::wstring();
    std::wstring full = FullPath(path);
    return full.empty() ? full : LongForm(full);
}

bool IsSamePath(const wchar_t* first, const wchar_t* second) {
    std::wstring a = CanonicalPath(first);
    return !a.empty() && EqualNoCase(a, CanonicalPath(second));
}

bool IsFileInFolder(const wchar_t* path, const std::wstring& folder, const wchar_t* name) {
    if (folder.empty()) return false;
    return IsSamePath(path, (WithBackslash(folder) + name).c_str());
}


namespace {
typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);
}

bool IsWow64System() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

std::wstring PathFor32BitAccess(const std::wstring& path) {
    wchar_t windows[MAX_PATH] = {};
    UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !IsWow64System()) return path;
    std::wstring folder = std::wstring(windows);
    if (folder.back() != L'\\') folder += L'\\';
    const std::wstring system = folder + L"System32\\";
    bool inSystem = path.size() > system.size() && !lstrcmpiW(path.substr(0, system.size()).c_str(), system.c_str());
    return inSystem ? folder + L"Sysnative\\" + path.substr(system.size()) : path;
}

namespace {

typedef BOOL(WINAPI* QueryImageFn)(HANDLE, DWORD, LPWSTR, PDWORD);
typedef DWORD(WINAPI* ModuleFileNameFn)(HANDLE, HMODULE, LPWSTR, DWORD);

// Before Vista the process status library reads the program file; it is
// loaded by its full path in System32, never found by a search.
std::wstring ImageFromModuleList(HANDLE process) {
    CLibrary library = LoadSystemLibrary(L"psapi.dll");
    auto moduleFileName = FunctionOf<ModuleFileNameFn>(library.Get(), "GetModuleFileNameExW");
    std::wstring image(kPathChars, L'\0');
    DWORD got = moduleFileName ? moduleFileName(process, nullptr, &image[0], kPathChars) : 0;
    image.resize(got < kPathChars ? got : 0);
    return image;
}

}  // namespace

std::wstring ProcessImagePath(HANDLE process) {
    auto query = reinterpret_cast<QueryImageFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    if (!query) return ImageFromModuleList(process);
    std::wstring image(kPathChars, L'\0');
    DWORD size = kPathChars;
    if (!query(process, 0, &image[0], &size)) return std::wstring();
    image.resize(size);
    return image;
}
