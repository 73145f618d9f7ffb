#include "scanner/own_modules.h"

#include "scanner/loader_hooks.h"
#include "scanner/module_snapshot.h"
#include "scanner/self_test.h"

#include <windows.h>

bool GetOwnModuleNames(CSimpleStrArray& names) {
    std::vector<std::wstring> paths;
    if (!ReadProcessModules(GetCurrentProcessId(), paths)) return false;
    for (const std::wstring& path : paths) {
        if (!path.empty()) names.Add(path.c_str());
    }
    return true;
}

DetectedModules ChooseDetectedModules(const std::vector<RequestedModule>& requested) {
    DetectedModules detected;
    // The self-test's module is the scan's own: it is never detected.
    for (const RequestedModule& module : requested) {
        if (!IsSelfTestModule(module.name.c_str())) detected.modules.push_back(module);
    }
    detected.selectFirst = !detected.modules.empty();
    return detected;
}

DetectedModules CurrentDetectedModules() { return ChooseDetectedModules(g_hookRequests.Copy()); }

bool IsSelfTestRecorded() {
    for (const RequestedModule& module : g_hookRequests.Copy()) {
        if (IsSelfTestModule(module.name.c_str())) return true;
    }
    return false;
}
