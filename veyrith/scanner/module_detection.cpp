#include "scanner/module_detection.h"

#include <cwchar>
#include <string>
#include <vector>

#include "common/product.h"
#include "common/executable_folder.h"
#include "common/path_identity.h"
#include "file_facts/system_catalog.h"

namespace {

// System modules that the window manager loads by itself; left out only as
// the files of the system folders, and, where the system keeps catalogs,
// only when one of them holds the file.
const wchar_t* const kSystemModules[] = {L"uxtheme.dll", L"indicdll.dll", L"msctf.dll"};
// The program itself; left out only as the running executable.
const wchar_t* const kOwnExecutable = kProgramFileNameW;

constexpr int kPathChars = MAX_PATH;

typedef UINT(WINAPI* GetFolderFn)(LPWSTR, UINT);

std::wstring ReadFolder(GetFolderFn read) {
    wchar_t folder[MAX_PATH] = {};
    UINT length = read ? read(folder, MAX_PATH) : 0;
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(folder, length);
}

// The folders where the system's own modules live for this program: the
// system folder it sees (System32, or SysWOW64 behind it on a 64-bit
// system) and the Windows folder. Read once; the list never changes.
const std::vector<std::wstring>& SystemModuleFolders() {
    static const std::vector<std::wstring> folders = [] {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto wow64 = reinterpret_cast<GetFolderFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemWow64DirectoryW")));
        std::vector<std::wstring> found;
        for (std::wstring folder : {ReadFolder(GetSystemDirectoryW), ReadFolder(wow64),
                                    ReadFolder(GetWindowsDirectoryW), ReadFolder(GetSystemWindowsDirectoryW)}) {
            if (!folder.empty()) found.push_back(folder);
        }
        return found;
    }();
    return folders;
}

const wchar_t* FileNamePart(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/') name = p + 1;
    }
    return name;
}

// A bare name is the file the loader's search finds for this process.
std::wstring Located(const wchar_t* path) {
    if (FileNamePart(path) != path) return path;
    wchar_t found[MAX_PATH] = {};
    DWORD length = SearchPathW(nullptr, path, nullptr, MAX_PATH, found, nullptr);
    return length == 0 || length >= MAX_PATH ? std::wstring(path) : std::wstring(found, length);
}

bool IsSystemModule(const wchar_t* path, const wchar_t* name) {
    for (const std::wstring& folder : SystemModuleFolders()) {
        if (IsFileInFolder(path, folder, name)) return !SystemHasCatalogs() || IsInSystemCatalog(path);
    }
    return false;
}

}  // namespace

bool IsWindowManagerCaller(const void* returnAddress) {
    // user32 is never unloaded, so the module once found stays the window manager.
    static void* volatile windowManager = nullptr;
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(returnAddress, &info, sizeof(info)) || !info.AllocationBase) return false;
    if (info.AllocationBase == windowManager) return true;
    WCHAR path[kPathChars] = {};
    if (!GetModuleFileNameW(static_cast<HMODULE>(info.AllocationBase), path, kPathChars))
        return false;
    path[kPathChars - 1] = 0;
    CharLowerW(path);
    if (!wcsstr(path, L"user32.dll")) return false;
    windowManager = info.AllocationBase;
    return true;
}

bool IsLeftOutModule(const wchar_t* path) {
    if (!path || !*path) return false;
    std::wstring located = Located(path);
    const wchar_t* name = FileNamePart(located.c_str());
    if (!lstrcmpiW(name, kOwnExecutable)) return IsSamePath(located.c_str(), ExecutablePath().c_str());
    for (const wchar_t* system : kSystemModules) {
        if (!lstrcmpiW(name, system)) return IsSystemModule(located.c_str(), system);
    }
    return false;
}

void PrepareLeftOutModules() {
    if (!SystemHasCatalogs()) return;
    for (const std::wstring& folder : SystemModuleFolders()) {
        for (const wchar_t* system : kSystemModules) IsLeftOutModule((folder + L"\\" + system).c_str());
    }
}
