#include "veyrith_scan/console_scan.h"


#include "census/census.h"
#include "common/executable_folder.h"
#include "scanner/own_modules.h"
#include "scanner/probe64_client.h"
#include "scanner/provocation.h"
#include "scanner/scan_checks.h"

namespace {

constexpr DWORD kSelfTestReadyMs = 5000;
// Posted to the provocation's window when the companion's run has ended.
constexpr UINT kProbeDoneMessage = WM_APP + 1;

// Handles this thread's messages until the companion's run has ended.
void WaitForProbe(HWND window) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == window && msg.message == kProbeDoneMessage) return;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Every stage of the provocation, then the self-test, then the companion;
// the verdict goes to result.
void ProvokeAndCheck(HINSTANCE instance, CScanChecks& checks, CScanResult& result) {
    checks.Begin(ExecutableFolder());
    CProvocation provocation(instance);
    checks.NoteStagesNotRun(provocation.RunStages());
    checks.StartSelfTest();
    if (checks.WaitSelfTestReady(kSelfTestReadyMs)) provocation.RunStages(kSelfTestStages);
    if (checks.EndWalk(provocation.Window(), kProbeDoneMessage)) WaitForProbe(provocation.Window());
    checks.TakeProbeResult();
    result.SetVerdict(checks.Confirmed(), checks.StatusTextId());
    result.SetStagesNotRun(checks.StagesNotRun());
    result.SetSelfTestProblem(checks.SelfTestProblemTextId());
}

}  // namespace

CScanResult RunScan(HINSTANCE instance) {
    CScanResult result;
    CScanChecks checks;
    ProvokeAndCheck(instance, checks, result);
    result.SetFound(CurrentDetectedModules(), checks.Modules64());
    CModuleCensus census(result.CensusModules());
    TakeCensusWithAutoRuns(census, result.TakenModules());
    result.TakeCensus(census);
    return result;
}

std::vector<CListItemState> ReportedHosts(const CScanResult& result, int module) {
    std::vector<CListItemState> hosts;
    bool is64Bit = result.Finding(module).Is64Bit();
    for (const CListItemState& record : result.Hosts(module)) {
        if (is64Bit || record.m_dwProcessId != GetCurrentProcessId()) hosts.push_back(record);
    }
    return hosts;
}

int AlertLevelOf(const CListItemState& host) {
    CListItemState copy = host;
    return ApplyAlertLevel(copy);
}
