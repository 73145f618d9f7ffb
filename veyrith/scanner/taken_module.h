// A module whose records were taken elsewhere: the 64-bit companion reads
// the processes that this 32-bit program cannot.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "findings/findings.h"
#include "scanner/provocation_stage.h"

// The records are shared, never copied, by the scan, its result and each
// census job.
struct TakenModule {
    std::wstring module;
    std::shared_ptr<const std::vector<CListItemState>> records;
    // The stages of the companion's provocation that requested it.
    StageSet stages = 0;
};
