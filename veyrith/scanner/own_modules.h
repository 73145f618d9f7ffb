// The modules loaded in the own process, and which recorded monitoring
// modules the module tree shows.
#pragma once

#include <string>
#include <vector>

#include "findings/simple_str_array.h"

// Appends the full path (UTF-16, whole) of every module of the own process
// whose name can be read, in the order the system lists them. False when the list cannot be read.
bool GetOwnModuleNames(CSimpleStrArray& names);

// The module items of the tree: the recorded modules still loaded in the own
// process, in the order they were recorded, without the self-test's module.
struct ModuleTreeItems {
    std::vector<std::wstring> names;
    // Only the item of the first recorded module (the self-test's aside) is
    // ever selected, and only when that module is still loaded (then it is
    // names[0]).
    bool selectFirst = false;
    // Modules that the 64-bit companion found in 64-bit processes: shown
    // after the others and marked as 64-bit.
    std::vector<std::wstring> names64;
};

ModuleTreeItems ChooseModuleTreeItems(const CSimpleStrArray& recorded,
                                      const CSimpleStrArray& ownModules);

// The module items of the tree for the modules recorded so far and the
// modules loaded now.
ModuleTreeItems CurrentModuleTreeItems();

// True when the self-test's module is among the modules recorded so far.
bool IsSelfTestRecorded();
