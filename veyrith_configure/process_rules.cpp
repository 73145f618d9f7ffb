#include "process_rules.h"

#include "common/path_identity.h"
#include "common/system_library.h"

namespace {

typedef BOOL(WINAPI* IsCriticalFn)(HANDLE, PBOOL);

const wchar_t* const kSystemProcesses[] = {L"smss.exe",    L"csrss.exe",   L"wininit.exe",
                                           L"winlogon.exe", L"services.exe", L"lsass.exe"};

FARPROC KernelFunction(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }

bool IsSystemProcessImage(const std::wstring& image) {
    const std::wstring folder = SystemFolder();
    for (const wchar_t* name : kSystemProcesses) {
        if (IsFileInFolder(image.c_str(), folder, name) ||
            IsFileInFolder(image.c_str(), PathFor32BitAccess(folder), name))
            return true;
    }
    return false;
}

bool MarkedCritical(HANDLE process) {
    auto isCritical = reinterpret_cast<IsCriticalFn>(reinterpret_cast<void*>(KernelFunction("IsProcessCritical")));
    BOOL critical = FALSE;
    return isCritical && isCritical(process, &critical) && critical;
}

}  // namespace

bool IsCriticalProcess(DWORD processId, HANDLE process, const std::wstring& image) {
    return processId == 0 || processId == 4 || IsSystemProcessImage(image) || MarkedCritical(process);
}
