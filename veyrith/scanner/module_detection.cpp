#include "scanner/module_detection.h"

#include <cstring>
#include <cwchar>

namespace {

const char* const kExcludedModules[] = {"uxtheme.dll", "indicdll.dll", "veyrith.exe", "msctf.dll"};

constexpr int kPathChars = MAX_PATH;

}  // namespace

bool IsWindowManagerCaller(const void* returnAddress) {
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(returnAddress, &info, sizeof(info)) || !info.AllocationBase) return false;
    WCHAR path[kPathChars] = {};
    if (!GetModuleFileNameW(static_cast<HMODULE>(info.AllocationBase), path, kPathChars))
        return false;
    path[kPathChars - 1] = 0;
    CharLowerW(path);
    return wcsstr(path, L"user32.dll") != nullptr;
}

bool IsExcludedModuleName(const char* lowerName) {
    for (const char* excluded : kExcludedModules) {
        if (strstr(lowerName, excluded)) return true;
    }
    return false;
}

bool RecordRequestedModule(LPCWSTR fileName, CSimpleStrArray& list) {
    if (!fileName) return false;
    char name[kPathChars];
    if (!WideCharToMultiByte(CP_THREAD_ACP, 0, fileName, -1, name, kPathChars, nullptr, nullptr))
        return false;
    bool known = list.Find(name, false);
    CharLowerA(name);
    if (known || IsExcludedModuleName(name)) return false;
    return list.Add(name);
}
