// One scan of veyrith_scan, without a window to show and without the
// progress walk: the self-test, the provocation in a tiny window of its
// own, the 64-bit companion on a 64-bit system, then one census of every
// module recorded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "findings/findings.h"

// One module found, with the processes that have it loaded.
struct FoundModule {
    std::wstring path;
    int bits = 32;
    // The file description; empty when the file has none.
    std::wstring description;
    std::vector<CListItemState> hosts;
};

struct ScanOutcome {
    // The scan saw its self-test (and the companion's, on a 64-bit system)
    // with its window in the foreground.
    bool confirmed = false;
    // Why not (a string resource id); 0 when confirmed.
    UINT reasonId = 0;
    // The self-test's module never appears; this process is no host.
    std::vector<FoundModule> modules;
};

// Runs the scan. It changes nothing: no action, no quarantine, no tool.
ScanOutcome RunScan(HINSTANCE instance);

// The alert level (1 to 6) of a host.
int AlertLevelOf(const CListItemState& host);
