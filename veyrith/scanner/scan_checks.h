// What a scan does so that it is never silently blind: every stage of the
// provocation runs or is reported, the self-test runs once the stages have
// (its hooks are the newest of their kinds, and where a refused module ends
// its hook chain in this process they would hide every older hook), and on
// a 64-bit system the 64-bit companion looks for 64-bit modules once the
// walk has ended (not before: a 64-bit hook installed meanwhile would keep
// the 32-bit hooks from being called in this process under some systems).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scanner/probe64_client.h"
#include "scanner/self_test.h"
#include "scanner/taken_module.h"

class CScanChecks {
public:
    // How long the companion may take before it is ended.
    static constexpr DWORD kProbeTimeoutMs = 90000;

    // A scan begins: the verdict of the last one and every request of the
    // window manager before it are dropped.
    void Begin(const std::wstring& folder);
    // The stages of this process that could not run.
    void NoteStagesNotRun(StageSet stages) { m_stagesNotRun |= stages & kAllStages; }
    // The stages have run: the self-test host (in the folder) starts.
    void StartSelfTest();
    // True once the self-test's hooks are in place; never waits.
    bool SelfTestReady();
    // True while the self-test's host runs.
    bool SelfTestRunning() const { return m_selfTest.IsRunning(); }
    // The same, waiting at most timeoutMs for them.
    bool WaitSelfTestReady(DWORD timeoutMs);
    // The walk has ended: the self-test ends and whether the scan recorded
    // its module is kept. On a 64-bit system the companion starts and
    // message goes to window when it is done; true then (the scan ends with
    // its answer), false when the scan ends now.
    bool EndWalk(HWND window, UINT message);
    // True while the companion runs.
    bool IsProbeRunning() const;
    // Takes the companion's answer once message has arrived; false when
    // there is none (yet).
    bool TakeProbeResult();
    // Ends the self-test and the companion; nothing of them lands any more.
    void Cancel();

    // The scan saw its self-test (and the companion's, where there is one),
    // the companion answered and every stage ran on both sides.
    bool Confirmed() const;
    // The stages that could not run, here or in the companion.
    StageSet StagesNotRun() const { return m_stagesNotRun; }
    // The status text that ends the scan.
    UINT StatusTextId() const;
    // Why the scan did not see its self-test (a string resource id); 0 when
    // it did, or when the companion's answer is what is missing.
    UINT SelfTestProblemTextId() const;
    // The modules the companion found, with the records of their processes.
    const std::vector<TakenModule>& Modules64() const { return m_modules64; }
    // The companion ran (this is a 64-bit system).
    bool ProbeUsed() const { return m_bProbeUsed; }

private:
    void TakeAnswer(ProbeAnswer&& answer);

    std::wstring m_strFolder;
    CSelfTest m_selfTest;
    CProbe64Run m_probe;
    bool m_bSelfTestSeen = false;
    bool m_bSelfTestStarted = false;
    bool m_bSelfTestWasReady = false;
    bool m_bProbeUsed = false;
    bool m_bProbeSelfTestSeen = false;
    ProbeOutcome m_outcome = PROBE_OK;
    StageSet m_stagesNotRun = 0;
    std::vector<TakenModule> m_modules64;
};

// The status text for a companion that did not answer properly; 0 for an
// answer.
UINT ProbeFailureTextId(ProbeOutcome outcome);
