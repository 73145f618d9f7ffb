// One scan of veyrith_scan, without a window to show and without the
// progress walk: the self-test, the provocation in a tiny window of its
// own, the 64-bit companion on a 64-bit system, then one census of every
// module recorded.
#pragma once

#include <windows.h>

#include "census/scan_result.h"
#include "findings/findings.h"

// Runs the scan and gives its result: the verdict (confirmed when the scan
// saw its self-test, and the companion's on a 64-bit system, with its
// window in the foreground; else the reason) and every module found with
// the census of its processes. The self-test's module never appears. It
// changes nothing: no action, no quarantine, no tool.
CScanResult RunScan(HINSTANCE instance);

// The hosts of a module to report: this process has every module it
// recorded and ends right after, so it is none of a 32-bit module's.
std::vector<CListItemState> ReportedHosts(const CScanResult& result, int module);

// The alert level (1 to 6) of a host.
int AlertLevelOf(const CListItemState& host);
