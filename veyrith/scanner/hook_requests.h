// What the window manager asked this process to load. Every library that
// user32 asks to load on its own (the module of a system-wide hook, or of a
// similar system-wide extension) is recorded here and then refused: the
// loader call fails, so the module is never mapped and none of its code
// runs in this process. Only the harmless system modules that the scan
// leaves out (IsLeftOutModule) load normally, unrecorded.
//
// A refused module is asked for again each time one of its hooks is called
// here, so each request also notes the provocation stage that runs at that
// moment (provocation_stage.h): the stages tell what the module watches.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scanner/provocation_stage.h"

// One module the window manager asked for.
struct RequestedModule {
    // Lower-cased, in UTF-16, whole, as user32 gave it.
    std::wstring name;
    // The stages that ran while it was asked for (kOutsideStages: while none ran).
    StageSet stages = 0;
    // How often it was asked for.
    unsigned long requests = 0;
};

class CHookRequests {
public:
    CHookRequests() = default;
    CHookRequests(const CHookRequests&) = delete;
    CHookRequests& operator=(const CHookRequests&) = delete;

    // One request of the window manager for fileName. True when the load is
    // to be refused (it was recorded); false for a module that loads
    // normally: a left-out system module, or any while recording is off.
    // A name already recorded costs a look-up under the lock and nothing
    // is allocated.
    bool Request(LPCWSTR fileName);
    // A scan begins: the requests before it are forgotten.
    void Clear();
    // The stage that runs from now on on the calling thread; -1 when none
    // does. Requests on other threads are noted as outside every stage.
    void SetStage(int stage);
    // A copy of every module asked for, in the order first asked, taken
    // under the lock.
    std::vector<RequestedModule> Copy() const;
    // Loads refused since the last Clear.
    unsigned long RefusedCount() const { return static_cast<unsigned long>(m_refused); }

private:
    RequestedModule* Find(LPCWSTR fileName);
    StageSet CurrentStageBit() const;

    std::vector<RequestedModule> m_modules;
    volatile LONG m_stage = -1;
    volatile LONG m_stageThread = 0;
    volatile LONG m_refused = 0;
};

// The program's record, filled by the LoadLibraryExW replacement
// (loader_hooks.cpp) from whatever thread the window manager loads on.
extern CHookRequests g_hookRequests;

// Switches recording on or off for the whole process (on at start). Off,
// nothing is recorded and nothing refused: how a test makes a scanner that
// is blind on its system.
void SetDetectionEnabled(bool enabled);
