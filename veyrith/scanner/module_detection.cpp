#include "scanner/module_detection.h"

#include <cwchar>
#include <string>

#include "scanner/detection_lock.h"

namespace {

const wchar_t* const kExcludedModules[] = {L"uxtheme.dll", L"indicdll.dll", L"veyrith.exe", L"msctf.dll"};

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

bool IsExcludedModuleName(const wchar_t* lowerName) {
    for (const wchar_t* excluded : kExcludedModules) {
        if (wcsstr(lowerName, excluded)) return true;
    }
    return false;
}

void SetDetectionEnabled(bool enabled) { InterlockedExchange(&g_detectionEnabled, enabled ? 1 : 0); }

bool RecordRequestedModule(LPCWSTR fileName, CSimpleStrArray& list) {
    if (!fileName || !g_detectionEnabled) return false;
    std::wstring name(fileName);
    if (!name.empty()) CharLowerBuffW(&name[0], static_cast<DWORD>(name.size()));
    if (IsExcludedModuleName(name.c_str())) return false;
    CDetectionLock lock;
    if (list.Find(name.c_str(), false)) return false;
    return list.Add(name.c_str());
}

bool CopyRecordedModules(const CSimpleStrArray& list, CSimpleStrArray& copy) {
    CDetectionLock lock;
    for (int i = 0; i < list.GetSize(); ++i) {
        if (!copy.Add(list.GetAt(i))) return false;
    }
    return true;
}
