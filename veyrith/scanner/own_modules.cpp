#include "scanner/own_modules.h"

#include "scanner/loader_hooks.h"
#include "scanner/module_detection.h"
#include "scanner/self_test.h"

#include <windows.h>
#include <psapi.h>

#include <vector>

namespace {

constexpr DWORD kModuleListBytes = 4096;
// Module paths are read whole, however long: a recorded module of any
// length is found among them.
constexpr DWORD kLongestPathChars = 32768;

bool AddModulePath(HANDLE process, HMODULE module, std::vector<wchar_t>& buffer, CSimpleStrArray& names) {
    DWORD length = GetModuleFileNameExW(process, module, buffer.data(), kLongestPathChars);
    if (length == 0 || length >= kLongestPathChars - 1) return false;
    buffer[length] = L'\0';
    return names.Add(buffer.data());
}

}  // namespace

bool GetOwnModuleNames(CSimpleStrArray& names) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                 GetCurrentProcessId());
    if (!process) return false;
    HMODULE modules[kModuleListBytes / sizeof(HMODULE)];
    DWORD needed = 0;
    bool listed = EnumProcessModules(process, modules, kModuleListBytes, &needed) && needed > 0;
    if (listed) {
        DWORD count = (needed < kModuleListBytes ? needed : kModuleListBytes) / sizeof(HMODULE);
        std::vector<wchar_t> buffer(kLongestPathChars);
        for (DWORD i = 0; i < count; ++i) AddModulePath(process, modules[i], buffer, names);
    }
    CloseHandle(process);
    return listed;
}

ModuleTreeItems ChooseModuleTreeItems(const CSimpleStrArray& recorded,
                                      const CSimpleStrArray& ownModules) {
    ModuleTreeItems items;
    // The self-test's module is the scan's own: it is never an item, and the
    // first module recorded is the first of the others.
    bool first = true;
    for (int i = 0; i < recorded.GetSize(); ++i) {
        const wchar_t* name = recorded.GetAt(i);
        if (IsSelfTestModule(name)) continue;
        bool isFirst = first;
        first = false;
        if (!ownModules.Find(name, false)) continue;
        items.names.push_back(name);
        if (isFirst) items.selectFirst = true;
    }
    return items;
}

ModuleTreeItems CurrentModuleTreeItems() {
    // The window manager may record a module on another thread meanwhile:
    // the items are chosen from a copy.
    CSimpleStrArray recorded(0, 1);
    CopyRecordedModules(g_monitoringModules, recorded);
    CSimpleStrArray ownModules(0, 1);
    GetOwnModuleNames(ownModules);
    return ChooseModuleTreeItems(recorded, ownModules);
}

bool IsSelfTestRecorded() {
    CSimpleStrArray recorded(0, 1);
    CopyRecordedModules(g_monitoringModules, recorded);
    for (int i = 0; i < recorded.GetSize(); ++i) {
        if (IsSelfTestModule(recorded.GetAt(i))) return true;
    }
    return false;
}
