// What a scan's result says in words: what a module watches, the stages of
// the provocation that could not run, the status text at a scan's end, and
// which module shows the pattern of a classic keylogger. Every text comes
// from the string table; the tree, the info page, the report and
// veyrith_scan's summary use the same words.
#pragma once

#include <string>
#include <vector>

#include "census/scan_result.h"

// The facts' words (IDS_WATCH_*) in kWatchFacts order, joined by ", ";
// empty for none.
std::wstring WatchFactsText(WatchFacts facts);

// The stages' names (IDS_STAGE_FIRST + stage) in the order they run, joined
// by ", "; empty for none. Bits outside the stages are ignored.
std::wstring StageNamesText(StageSet stages);

// IDS_STAGES_NOT_RUN with the names of these stages; empty when none.
std::wstring StagesNotRunText(StageSet stages);

// The status text at the end of a scan: the verdict's text, which names the
// stages that could not run when they are its reason.
std::wstring ScanEndStatusText(const CScanResult& result);

// True when a host is hidden (no visible window) and starts with Windows.
bool IsHiddenAutoRun(const CListItemState& host);

// True when the module reads keystrokes and one of its hosts in the newest
// census, other than the process with excludedProcessId, is hidden and
// starts with Windows.
bool ShowsClassicKeylogger(const CScanResult& result, int module, DWORD excludedProcessId);

// The indexes of the result's modules in the order they are shown: those
// that read keystrokes first, otherwise in the result's order.
std::vector<int> ModulesInShownOrder(const CScanResult& result);
