// The modules loaded in the own process, and which of the modules the
// window manager asked for a scan has detected.
#pragma once

#include <string>
#include <vector>

#include "findings/simple_str_array.h"
#include "scanner/hook_requests.h"

// Appends the full path (UTF-16, whole) of every module of the own process
// whose name can be read, in the order the system lists them. False when the list cannot be read.
bool GetOwnModuleNames(CSimpleStrArray& names);

// The width of the image in the file at path (32 or 64); 0 when the file
// cannot be read or is no image of either.
int ImageBits(const std::wstring& path);

// The modules a scan has detected: every module the window manager asked
// for during the scan, in the order first asked, without the self-test's
// and without images of the other width (which this process could never
// have loaded).
struct DetectedModules {
    std::vector<RequestedModule> modules;
    // The first module is selected when the result is shown.
    bool selectFirst = false;
};

DetectedModules ChooseDetectedModules(const std::vector<RequestedModule>& requested);

// The detected modules for the requests of the scan so far (one copy of
// the record).
DetectedModules CurrentDetectedModules();

// True when the self-test's module is among the modules requested so far.
bool IsSelfTestRecorded();
