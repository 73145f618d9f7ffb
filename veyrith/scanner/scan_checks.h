// What a scan does so that it is never silently blind: the self-test runs
// while the scan's walk provokes the hooks, and on a 64-bit system the
// 64-bit companion looks for 64-bit modules once the walk has ended (not
// before: a 64-bit hook installed meanwhile would keep the 32-bit hooks
// from being called in this process under some systems).
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

    // A scan begins: the verdict of the last one is dropped and the
    // self-test host (in folder) starts.
    void Begin(const std::wstring& folder);
    // True once the self-test's hooks are in place; never waits.
    bool SelfTestReady();
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

    // The scan saw its self-test (and the companion's, where there is one)
    // and the companion answered.
    bool Confirmed() const;
    // The status text that ends the scan.
    UINT StatusTextId() const;
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
    bool m_bProbeUsed = false;
    bool m_bProbeSelfTestSeen = false;
    ProbeOutcome m_outcome = PROBE_OK;
    std::vector<TakenModule> m_modules64;
};

// The status text for a companion that did not answer properly; 0 for an
// answer.
UINT ProbeFailureTextId(ProbeOutcome outcome);
