// The modules loaded in the own process, and which of the recorded
// monitoring modules a scan has detected.
#pragma once

#include <string>
#include <vector>

#include "findings/simple_str_array.h"

// Appends the full path (UTF-16, whole) of every module of the own process
// whose name can be read, in the order the system lists them. False when the list cannot be read.
bool GetOwnModuleNames(CSimpleStrArray& names);

// The modules a scan has detected: the recorded modules still loaded in the
// own process, in the order they were recorded, without the self-test's
// module.
struct DetectedModules {
    std::vector<std::wstring> names;
    // names[0] is the first module recorded (the self-test's aside); false
    // when that module is no longer loaded.
    bool selectFirst = false;
};

DetectedModules ChooseDetectedModules(const CSimpleStrArray& recorded, const CSimpleStrArray& ownModules);

// The detected modules for the modules recorded so far and the modules
// loaded now.
DetectedModules CurrentDetectedModules();

// True when the self-test's module is among the modules recorded so far.
bool IsSelfTestRecorded();
