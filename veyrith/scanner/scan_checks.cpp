#include "scanner/scan_checks.h"

#include "resources/resource.h"
#include "scanner/loader_hooks.h"
#include "scanner/module_detection.h"
#include "scanner/own_modules.h"

void CScanChecks::Begin(const std::wstring& folder) {
    Cancel();
    m_strFolder = folder;
    m_bSelfTestSeen = false;
    m_bSelfTestStarted = false;
    m_bSelfTestWasReady = false;
    m_bProbeUsed = false;
    m_bProbeSelfTestSeen = false;
    m_outcome = PROBE_OK;
    m_stagesNotRun = 0;
    m_modules64.clear();
    PrepareLeftOutModules();
    g_hookRequests.Clear();
}

void CScanChecks::StartSelfTest() { m_bSelfTestStarted = m_selfTest.Start(m_strFolder + kSelfTestHostFileNameW); }

bool CScanChecks::SelfTestReady() { return WaitSelfTestReady(0); }

bool CScanChecks::WaitSelfTestReady(DWORD timeoutMs) {
    if (m_selfTest.WaitUntilReady(timeoutMs)) m_bSelfTestWasReady = true;
    return m_bSelfTestWasReady;
}

bool CScanChecks::EndWalk(HWND window, UINT message) {
    m_selfTest.Stop();
    m_bSelfTestSeen = IsSelfTestRecorded();
    if (!IsWow64System()) return false;
    m_bProbeUsed = true;
    if (m_probe.Start(m_strFolder, window, message, kProbeTimeoutMs)) return true;
    m_outcome = PROBE_NOT_STARTED;
    return false;
}

bool CScanChecks::IsProbeRunning() const { return m_probe.IsRunning(); }

bool CScanChecks::TakeProbeResult() {
    ProbeOutcome outcome = PROBE_CANCELLED;
    ProbeAnswer answer;
    if (!m_probe.TakeResult(outcome, answer)) return false;
    m_outcome = outcome;
    if (outcome == PROBE_OK) TakeAnswer(std::move(answer));
    return true;
}

void CScanChecks::TakeAnswer(ProbeAnswer&& answer) {
    m_bProbeSelfTestSeen = answer.selfTestSeen;
    NoteStagesNotRun(answer.stagesNotRun);
    for (ProbeModule& module : answer.modules) {
        if (IsSelfTestModule(module.path.c_str())) continue;
        auto records = std::make_shared<const std::vector<CListItemState>>(std::move(module.records));
        m_modules64.push_back(TakenModule{module.path, std::move(records), module.stages});
    }
}

void CScanChecks::Cancel() {
    m_selfTest.Stop();
    m_probe.Cancel();
}

bool CScanChecks::Confirmed() const {
    if (!m_bSelfTestSeen || m_stagesNotRun) return false;
    return !m_bProbeUsed || (m_outcome == PROBE_OK && m_bProbeSelfTestSeen);
}

UINT CScanChecks::StatusTextId() const {
    if (m_bProbeUsed && ProbeFailureTextId(m_outcome)) return ProbeFailureTextId(m_outcome);
    if (m_stagesNotRun) return IDS_STAGES_NOT_RUN;
    return Confirmed() ? IDS_SCANNING_COMPLETE : IDS_SCAN_UNCONFIRMED;
}

UINT CScanChecks::SelfTestProblemTextId() const {
    if (!m_bSelfTestSeen) {
        if (GetFileAttributesW((m_strFolder + kSelfTestModuleFileNameW).c_str()) == INVALID_FILE_ATTRIBUTES)
            return IDS_SELFTEST_MODULE_MISSING;
        if (!m_bSelfTestStarted) return IDS_SELFTEST_HOST_NOT_STARTED;
        return m_bSelfTestWasReady ? IDS_SELFTEST_NOT_REQUESTED : IDS_SELFTEST_NOT_READY;
    }
    bool probeAnswered = m_bProbeUsed && m_outcome == PROBE_OK;
    return probeAnswered && !m_bProbeSelfTestSeen ? IDS_SELFTEST64_NOT_SEEN : 0;
}

UINT ProbeFailureTextId(ProbeOutcome outcome) {
    switch (outcome) {
    case PROBE_OK:
        return 0;
    case PROBE_NOT_STARTED:
        return IDS_PROBE64_NOT_STARTED;
    case PROBE_BAD_ANSWER:
    case PROBE_WRONG_VERSION:
        return IDS_PROBE64_UNREADABLE;
    default:
        return IDS_PROBE64_ENDED_EARLY;
    }
}
