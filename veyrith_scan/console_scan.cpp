#include "veyrith_scan/console_scan.h"


#include "census/census.h"
#include "common/executable_folder.h"
#include "probe64/probe_run.h"
#include "scanner/own_modules.h"
#include "scanner/probe64_client.h"
#include "scanner/provocation.h"
#include "scanner/scan_checks.h"
#include "veyrith_scan/resources/scan_resource.h"

namespace {

constexpr DWORD kSelfTestReadyMs = 5000;
constexpr int kKeyPresses = 2;
// The companion's whole provocation (a settling pause and two presses with
// messages pumped after each). Here it ends once the self-test's module is
// recorded: the window manager loads the modules of a hook chain while this
// thread takes the key from its queue, within 10 ms of the press (measured,
// bench/provocation_bench.cpp). A blind scan waits the whole time.
constexpr DWORD kProvokeLimitMs = 650;
// Posted to the provoking window when the companion's run has ended.
constexpr UINT kProbeDoneMessage = WM_APP + 1;

// The provoking window, destroyed with its owner.
class CProvokingWindow {
public:
    explicit CProvokingWindow(HINSTANCE instance) : m_hWnd(CreateProbeWindow(instance)) {}
    ~CProvokingWindow() {
        if (m_hWnd) DestroyWindow(m_hWnd);
    }
    CProvokingWindow(const CProvokingWindow&) = delete;
    CProvokingWindow& operator=(const CProvokingWindow&) = delete;
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Sends the window F24 down and up and handles its messages until the
// self-test's module is recorded or the companion's time has passed.
void Provoke() {
    ProvokeKeyboardHooks(kKeyPresses);
    DWORD started = GetTickCount();
    for (DWORD passed = 0; passed < kProvokeLimitMs && !IsSelfTestRecorded(); passed = GetTickCount() - started) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kProvokeLimitMs - passed, QS_ALLINPUT);
        PumpPending();
    }
    PumpPending();
}

bool TakeForeground(HWND window) {
    if (!window) return false;
    SetForegroundWindow(window);
    return GetForegroundWindow() == window;
}

// Handles this thread's messages until the companion's run has ended.
void WaitForProbe(HWND window) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == window && msg.message == kProbeDoneMessage) return;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The checks and the provocation; the verdict goes to result.
void ProvokeAndCheck(HINSTANCE instance, CScanChecks& checks, CScanResult& result) {
    CProvokingWindow window(instance);
    checks.Begin(ExecutableFolder());
    checks.WaitSelfTestReady(kSelfTestReadyMs);
    bool foreground = TakeForeground(window.Handle());
    if (foreground) Provoke();
    if (checks.EndWalk(window.Handle(), kProbeDoneMessage)) WaitForProbe(window.Handle());
    checks.TakeProbeResult();
    bool confirmed = foreground && checks.Confirmed();
    result.SetVerdict(confirmed, foreground ? checks.StatusTextId() : IDS_CLI_NO_FOREGROUND);
}

}  // namespace

CScanResult RunScan(HINSTANCE instance) {
    CScanResult result;
    CScanChecks checks;
    ProvokeAndCheck(instance, checks, result);
    // Every module the companion found is listed, also one whose path the
    // 32-bit side recorded too.
    for (const std::wstring& path : CurrentDetectedModules().names) result.Add(CModuleFinding{path, 32});
    for (const TakenModule& taken : checks.Modules64()) result.Add(CModuleFinding{taken.module, 64}, taken.records);
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
