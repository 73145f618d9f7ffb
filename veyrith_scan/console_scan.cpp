#include "veyrith_scan/console_scan.h"


#include "autorun/autorun_sources.h"
#include "common/executable_folder.h"
#include "probe64/probe_run.h"
#include "scanner/affected_applications.h"
#include "scanner/file_description.h"
#include "scanner/own_modules.h"
#include "scanner/probe64_client.h"
#include "scanner/scan_checks.h"
#include "veyrith_scan/resources/scan_resource.h"

namespace {

constexpr DWORD kSelfTestReadyMs = 5000;
constexpr BYTE kProvokingKey = 0x87;  // F24: no keyboard has it
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
    for (int i = 0; i < kKeyPresses; ++i) {
        keybd_event(kProvokingKey, 0, 0, 0);
        keybd_event(kProvokingKey, 0, KEYEVENTF_KEYUP, 0);
    }
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

// The checks and the provocation; the verdict goes to outcome.
void ProvokeAndCheck(HINSTANCE instance, CScanChecks& checks, ScanOutcome& outcome) {
    CProvokingWindow window(instance);
    checks.Begin(ExecutableFolder());
    checks.WaitSelfTestReady(kSelfTestReadyMs);
    bool foreground = TakeForeground(window.Handle());
    if (foreground) Provoke();
    if (checks.EndWalk(window.Handle(), kProbeDoneMessage)) WaitForProbe(window.Handle());
    checks.TakeProbeResult();
    outcome.confirmed = foreground && checks.Confirmed();
    if (!foreground) outcome.reasonId = IDS_CLI_NO_FOREGROUND;
    else if (!outcome.confirmed) outcome.reasonId = checks.StatusTextId();
}

FoundModule Found(const std::wstring& path, int bits, const CModuleCensus& census) {
    FoundModule found;
    found.path = path;
    found.bits = bits;
    found.description = GetFileDescription(PathFor32BitAccess(path).c_str());
    const std::vector<CListItemState>* records = census.Find(path.c_str());
    if (!records) return found;
    // This process has every module it recorded and ends right after: no
    // host to report.
    for (const CListItemState& record : *records) {
        if (bits == 64 || record.m_dwProcessId != GetCurrentProcessId()) found.hosts.push_back(record);
    }
    return found;
}

}  // namespace

ScanOutcome RunScan(HINSTANCE instance) {
    ScanOutcome outcome;
    CScanChecks checks;
    ProvokeAndCheck(instance, checks, outcome);
    ModuleTreeItems items = CurrentModuleTreeItems();
    CModuleCensus census(items.names);
    for (const TakenModule& taken : checks.Modules64()) census.AddTakenModule(taken);
    census.Take(CollectAutoRunsWithCom());
    for (const std::wstring& path : items.names) outcome.modules.push_back(Found(path, 32, census));
    for (const TakenModule& taken : checks.Modules64())
        outcome.modules.push_back(Found(taken.module, 64, census));
    return outcome;
}

int AlertLevelOf(const CListItemState& host) {
    CListItemState copy = host;
    return ApplyAlertLevel(copy);
}
