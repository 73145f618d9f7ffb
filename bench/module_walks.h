// The two bare walks over every running process that the census and the
// end of a scan are measured against: the per-module API walk the census
// used to make (EnumProcessModules, then GetModuleFileNameExW of every
// module) and the one-snapshot-per-process walk it makes now.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scanner/module_snapshot.h"
#include "scanner/process_list.h"

// Module paths read, over every process that can be listed.
inline int ApiWalk() {
    int names = 0;
    std::vector<std::wstring> paths;
    for (DWORD processId : ListProcessIds(4096)) {
        if (ReadProcessModulesOneByOne(processId, paths)) names += static_cast<int>(paths.size());
    }
    return names;
}

inline int SnapshotWalk() {
    int names = 0;
    std::vector<std::wstring> paths;
    for (DWORD processId : ListProcessIds(4096)) {
        if (ReadProcessModules(processId, paths)) names += static_cast<int>(paths.size());
    }
    return names;
}
