// The self-test of a scan: a process of our own installs a harmless
// system-wide hook (keyboard and get-message) whose module only passes
// events on. A scan that sees system-wide hooks records that module through
// the same path as any other; one that does not is blind on this system.
#pragma once

#include <windows.h>

#include <string>

#include "common/owners.h"
#include "common/product.h"

class CSelfTest {
public:
    CSelfTest() = default;
    // Ends the host.
    ~CSelfTest();
    CSelfTest(const CSelfTest&) = delete;
    CSelfTest& operator=(const CSelfTest&) = delete;

    // Starts the host (its full path) without waiting for it; a host still
    // running from an earlier start is ended first. False when no process
    // could be started.
    bool Start(const std::wstring& hostPath);
    // True once the host has both hooks in place; waits at most timeoutMs.
    // False at once when no host runs or the host ended without them.
    bool WaitUntilReady(DWORD timeoutMs);
    // True while a host started here runs.
    bool IsRunning() const;
    // Ends the host without waiting for it: asks it to remove its hooks and
    // end, and a thread of its own ends it outright when it does not within
    // a moment. Nothing when none runs.
    void Stop();

private:
    void Close();

    CHandle m_hProcess;
    CHandle m_hReady;
    DWORD m_dwThreadId = 0;
};

// True when path is one of the self-test modules (either width) in the
// folder of the running program, compared on the long form without regard
// to case. A module of that name anywhere else is not the self-test's.
bool IsSelfTestModule(const wchar_t* path);
