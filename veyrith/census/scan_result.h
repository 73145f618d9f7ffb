// The result of one scan as the program holds it: every module found, each
// with what the scan knows of it, and per module the census of the
// processes that have it loaded. The scan writes it; the module tree, the
// list, the actions, the export, the info page and veyrith_scan's outputs
// read it. A plain record: it takes no census and shows nothing itself.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "census/census.h"
#include "findings/findings.h"
#include "scanner/own_modules.h"
#include "scanner/taken_module.h"
#include "scanner/watch_facts.h"

// What the scan knows of one module it found. A fact that later work adds
// to a finding is one more field here.
struct CModuleFinding {
    // The path in UTF-16, as the scan recorded it (the detection records a
    // module's path lower-cased; the companion's paths are as it gives them).
    std::wstring path;
    // 32, or 64 for a module that the 64-bit companion found in 64-bit
    // processes.
    int bits = 32;
    // The stages of the provocation that made the window manager request
    // it (0 when nothing tells).
    StageSet stages = 0;

    bool Is64Bit() const { return bits == 64; }
    // What it watches, from those stages.
    WatchFacts Watches() const { return WatchFactsOf(stages); }
    bool ReadsKeystrokes() const { return (Watches() & WATCH_KEYSTROKES) != 0; }
};

class CScanResult {
public:
    // One module of the result with its census.
    struct Module {
        CModuleFinding finding;
        // The records that the 64-bit companion took of its processes (a
        // 64-bit module's; null for the others). Every census of the module
        // starts from them.
        std::shared_ptr<const std::vector<CListItemState>> companionHosts;
        // True once a census of the module has landed; hosts are then its
        // records: every process of that census (the scanning one too), in
        // the order the processes were listed, 32-bit ones or the
        // companion's.
        bool censused = false;
        std::vector<CListItemState> hosts;
    };

    // Empties the result: no module, no census, no verdict.
    void Clear();
    // Appends a module; returns its index.
    int Add(const CModuleFinding& finding,
            std::shared_ptr<const std::vector<CListItemState>> companionHosts = nullptr);
    // The modules that a scan found, in place of those before: the detected
    // ones (32-bit, in the order first asked for) that the companion did
    // not find (any letter case), then the companion's 64-bit modules. A module
    // that stays (same path and width) keeps its census until the next one
    // lands.
    void SetFound(const DetectedModules& detected, const std::vector<TakenModule>& modules64);

    int Count() const { return static_cast<int>(m_modules.size()); }
    bool Empty() const { return m_modules.empty(); }
    // True for the index of a module (0 .. Count() - 1).
    bool IsModule(int index) const { return index >= 0 && index < Count(); }
    // The module at index (anything but a module's index is a programming
    // error).
    const Module& At(int index) const { return m_modules.at(static_cast<size_t>(index)); }
    const CModuleFinding& Finding(int index) const { return At(index).finding; }
    // The index of the module with this path (any letter case), -1 when none.
    int Find(const std::wstring& path) const;
    // The first module is the first one the scan recorded, the one that is
    // selected when the result is shown.
    bool SelectFirst() const { return m_bSelectFirst; }

    // What a census of the result is asked for: the paths of the 32-bit
    // modules, and the 64-bit modules with the companion's records.
    std::vector<std::wstring> CensusModules() const;
    std::vector<TakenModule> TakenModules() const;
    // Takes over the records of every module that the census covers; the
    // others keep what they have.
    void TakeCensus(const CModuleCensus& census);
    // Forgets every census; the modules stay.
    void DropCensus();
    // True when a census of the module has landed.
    bool HasCensus(int index) const { return IsModule(index) && At(index).censused; }
    // The records of the module's newest census, empty before one landed.
    const std::vector<CListItemState>& Hosts(int index) const { return At(index).hosts; }

    // The verdict: the scan saw its own self-test (and, on a 64-bit
    // system, the companion answered and saw its own); reasonId says why
    // not (a string resource id), 0 when confirmed.
    void SetVerdict(bool confirmed, UINT reasonId);
    bool Confirmed() const { return m_bConfirmed; }
    UINT ReasonId() const { return m_nReasonId; }
    // The text that ends the scan: "Scanning complete" when confirmed, else
    // the reason.
    UINT VerdictTextId() const;
    // The stages of the provocation that could not run (in this process or
    // in the companion); a scan with any is not confirmed.
    void SetStagesNotRun(StageSet stages) { m_stagesNotRun = stages; }
    StageSet StagesNotRun() const { return m_stagesNotRun; }
    // Why the scan did not see its self-test (a string resource id), 0 when
    // it did or nothing more tells.
    void SetSelfTestProblem(UINT textId) { m_nSelfTestProblemId = textId; }
    UINT SelfTestProblemId() const { return m_nSelfTestProblemId; }

private:
    std::vector<Module> m_modules;
    bool m_bSelectFirst = false;
    bool m_bConfirmed = false;
    UINT m_nReasonId = 0;
    StageSet m_stagesNotRun = 0;
    UINT m_nSelfTestProblemId = 0;
};
