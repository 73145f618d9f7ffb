#include "scanner/own_modules.h"

#include "scanner/loader_hooks.h"
#include "scanner/module_detection.h"
#include "scanner/module_snapshot.h"
#include "scanner/self_test.h"

#include <windows.h>

#include <string>
#include <vector>

bool GetOwnModuleNames(CSimpleStrArray& names) {
    std::vector<std::wstring> paths;
    if (!ReadProcessModules(GetCurrentProcessId(), paths)) return false;
    for (const std::wstring& path : paths) {
        if (!path.empty()) names.Add(path.c_str());
    }
    return true;
}

DetectedModules ChooseDetectedModules(const CSimpleStrArray& recorded, const CSimpleStrArray& ownModules) {
    DetectedModules items;
    // The self-test's module is the scan's own: it is never detected, and
    // the first module recorded is the first of the others.
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

DetectedModules CurrentDetectedModules() {
    // The window manager may record a module on another thread meanwhile:
    // the items are chosen from a copy.
    CSimpleStrArray recorded(0, 1);
    CopyRecordedModules(g_monitoringModules, recorded);
    CSimpleStrArray ownModules(0, 1);
    GetOwnModuleNames(ownModules);
    return ChooseDetectedModules(recorded, ownModules);
}

bool IsSelfTestRecorded() {
    CSimpleStrArray recorded(0, 1);
    CopyRecordedModules(g_monitoringModules, recorded);
    for (int i = 0; i < recorded.GetSize(); ++i) {
        if (IsSelfTestModule(recorded.GetAt(i))) return true;
    }
    return false;
}
