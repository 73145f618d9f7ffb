// The affected applications of monitoring modules: every running process
// that has a module loaded, with the facts of its alert level. A census
// reflects one moment: the processes, windows, files and autorun entries of
// the time it was taken.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "findings/autorun_lookup.h"
#include "findings/findings.h"
#include "scanner/taken_module.h"

// The records of one module, in the order the processes were listed.
class CAffectedApplications {
public:
    // Empties the records.
    void Reset();
    // Appends a copy of a record.
    void Append(const CListItemState& record) { m_records.push_back(record); }

    // Resets and probes every running process (the own process like any
    // other) for the module; autoRuns is the inventory of this moment.
    void TakeCensus(const wchar_t* modulePath, const CAutoRunArray& autoRuns);

    // Appends one record when the process has the module loaded; returns 1
    // then, else 0. A process that cannot be opened or listed yields 0.
    int ProbeProcess(DWORD processId, const wchar_t* modulePath, const CAutoRunArray& autoRuns);

    int GetCount() const { return static_cast<int>(m_records.size()); }
    // The record at index (0 .. count - 1; anything else is a programming error).
    const CListItemState& GetAt(int index) const { return m_records.at(index); }

private:
    std::vector<CListItemState> m_records;
};

// The census of several modules from one walk over the processes: each
// process is opened once and its module names are read once and matched
// against every module asked for.
class CModuleCensus {
public:
    // A census of the modules (full paths, any letter case), empty until taken.
    explicit CModuleCensus(const std::vector<std::wstring>& modules = std::vector<std::wstring>());

    // Walks every running process with the autorun inventory of this
    // moment; the records of an earlier walk are dropped.
    void Take(const CAutoRunArray& autoRuns);

    // Adds a module whose records were taken elsewhere (by the 64-bit
    // companion). A census keeps them, minus the processes that have ended
    // or whose id now names another process, and forgets autorun facts that
    // name no autorun place or whose entry is gone from the 64-bit view; it
    // never probes for that module itself. A module
    // already part of the census is left as it is.
    void AddTakenModule(const TakenModule& taken);

    // The records of a module (compared without regard to case); null when
    // the module was not part of the census.
    const std::vector<CListItemState>* Find(const wchar_t* modulePath) const;
    // The modules asked for, as given.
    const std::vector<std::wstring>& Modules() const { return m_modules; }

    // Probes one process for every module of the census; returns how many
    // records it added.
    int Probe(DWORD processId, const CAutoRunArray& autoRuns);

private:
    // A process that has modules asked for (their indexes).
    struct Match {
        DWORD processId = 0;
        std::vector<size_t> modules;
        std::wstring exePath;
        FILETIME created = {};
    };

    std::vector<Match> Walk(const std::vector<DWORD>& processes, const CAutoRunLookup& autoRuns);
    int Probe(DWORD processId, const CAutoRunLookup& autoRuns);
    void AddRecord(size_t module, DWORD processId, const wchar_t* exePath, const FILETIME& created,
                   const CAutoRunLookup& autoRuns);
    bool IsVisible(DWORD processId) const;
    std::wstring DescriptionOf(const wchar_t* exePath);
    void FindAutoRun(const wchar_t* exePath, const CAutoRunLookup& autoRuns, CAutoRunInfo& found);
    bool SharesModuleFolder(size_t module, const wchar_t* exePath);
    std::wstring WithLongFolderOnce(const wchar_t* path);

    std::vector<std::wstring> m_modules;
    // The modules lower-cased, in the same order, for the matching.
    std::vector<std::wstring> m_lowerModules;
    std::vector<std::vector<CListItemState>> m_records;
    // Per module: its records were taken elsewhere.
    std::vector<bool> m_taken;
    // Owners of visible top-level windows (sorted), and the description,
    // autorun entry and folder facts of each executable seen (keyed by its
    // lower-cased path), read once per census: processes of one program
    // share its file, and one reading of the windows serves every process.
    // Each of these facts takes the long forms of paths, which costs a
    // directory lookup per folder of the path.
    std::vector<DWORD> m_visibleOwners;
    bool m_bOwnersRead = false;
    std::map<std::wstring, std::wstring> m_descriptions;
    std::map<std::wstring, CAutoRunInfo> m_autoRuns;
    std::map<std::pair<size_t, std::wstring>, bool> m_sharedFolders;
    // The long form of the folder of every module and executable related
    // above (keyed by the lower-cased folder): each is taken once per
    // census, not once per pair of paths; most programs share a few folders.
    std::map<std::wstring, std::wstring> m_longFolders;
};

// The executable of a process that has the module loaded (its first module,
// its path whole); false when the process cannot be opened, cannot be
// listed, or does not have the module.
bool FindModuleInProcess(DWORD processId, const wchar_t* modulePath, std::wstring& exePath);

// True when an autorun fact of a record taken elsewhere names a place that
// Windows starts programs from and the entry is still there, in the 64-bit
// view of the registry that the companion reads; true for no entry.
bool IsTakenAutoRunCurrent(const CAutoRunInfo& entry);

// True when a top-level window of the process is visible.
bool HasVisibleWindow(DWORD processId);

// Process identifiers that own at least one visible top-level window, sorted.
std::vector<DWORD> VisibleWindowOwners();

// The census as every scan takes it once its provocation is over: the
// modules of taken join it with their records, then the autorun inventory
// of this moment is read (COM is set up on this thread for the Startup
// folders' shortcuts) and every process is walked. The window's census
// worker, veyrith_scan and the 64-bit companion take theirs here.
void TakeCensusWithAutoRuns(CModuleCensus& census,
                            const std::vector<TakenModule>& taken = std::vector<TakenModule>());
