// The affected applications of one module: every running process that has
// the module loaded, with the facts of its alert level. The list view owns
// one of these; each census rebuilds it from nothing.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "findings.h"

class CAffectedApplications {
public:
    // Empties the records.
    void Reset();

    // Resets, rebuilds the autorun inventory, and probes every running
    // process (the own process like any other) for the module.
    void TakeCensus(const char* modulePath);

    // Appends one record when the process has the module loaded; returns 1
    // then, else 0. A process that cannot be opened or listed yields 0.
    int ProbeProcess(DWORD processId, const char* modulePath);

    int GetCount() const { return static_cast<int>(m_records.size()); }
    // The record at index (0 .. count - 1; anything else is a programming error).
    const CListItemState& GetAt(int index) const { return m_records.at(index); }
    CAutoRunArray& AutoRuns() { return m_autoRuns; }
    const CAutoRunArray& AutoRuns() const { return m_autoRuns; }

private:
    bool IsVisible(DWORD processId) const;
    std::string DescriptionOf(const char* exePath);

    std::vector<CListItemState> m_records;
    CAutoRunArray m_autoRuns;
    // Owners of visible top-level windows, read once per census (sorted);
    // empty outside a census, when each probe enumerates the windows itself.
    std::vector<DWORD> m_visibleOwners;
    // Descriptions read during this census, by lower-cased executable path:
    // processes of one program share its file.
    std::map<std::string, std::string> m_descriptions;
    bool m_bInCensus = false;
};

// The executable of a process that has the module loaded (its first module);
// false when the process cannot be opened, cannot be listed, or does not
// have the module.
bool FindModuleInProcess(DWORD processId, const char* modulePath, char (&exePath)[MAX_PATH]);

// True when a top-level window of the process is visible.
bool HasVisibleWindow(DWORD processId);

// Process identifiers that own at least one visible top-level window, sorted.
std::vector<DWORD> VisibleWindowOwners();
