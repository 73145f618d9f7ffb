#include "scanner/module_detection.h"

#include <cstring>
#include <cwchar>

#include "common/product.h"
#include "scanner/detection_lock.h"

namespace {

const char* const kExcludedModules[] = {"uxtheme.dll", "indicdll.dll", kProgramFileName, "msctf.dll"};

constexpr int kPathChars = MAX_PATH;

volatile LONG g_detectionEnabled = 1;

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

void SetDetectionEnabled(bool enabled) { InterlockedExchange(&g_detectionEnabled, enabled ? 1 : 0); }

bool RecordRequestedModule(LPCWSTR fileName, CSimpleStrArray& list) {
    if (!fileName || !g_detectionEnabled) return false;
    char name[kPathChars];
    if (!WideCharToMultiByte(CP_ACP, 0, fileName, -1, name, kPathChars, nullptr, nullptr))
        return false;
    CharLowerA(name);
    if (IsExcludedModuleName(name)) return false;
    CDetectionLock lock;
    if (list.Find(name, false)) return false;
    return list.Add(name);
}

bool CopyRecordedModules(const CSimpleStrArray& list, CSimpleStrArray& copy) {
    CDetectionLock lock;
    for (int i = 0; i < list.GetSize(); ++i) {
        if (!copy.Add(list.GetAt(i))) return false;
    }
    return true;
}
