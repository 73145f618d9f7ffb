#include "veyrith_scan/scan_session.h"

#include <objbase.h>

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
    if (foreground) ProvokeHooks(window.Handle());
    if (checks.EndWalk(window.Handle(), kProbeDoneMessage)) WaitForProbe(window.Handle());
    checks.TakeProbeResult();
    outcome.confirmed = foreground && checks.Confirmed();
    if (!foreground) outcome.reasonId = IDS_CLI_NO_FOREGROUND;
    else if (!outcome.confirmed) outcome.reasonId = checks.StatusTextId();
}

// The autorun sources include Startup-folder shortcuts, resolved through COM.
CAutoRunArray CollectInventory() {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CAutoRunArray inventory;
    CollectAutoRuns(inventory);
    if (SUCCEEDED(com)) CoUninitialize();
    return inventory;
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
    census.Take(CollectInventory());
    for (const std::wstring& path : items.names) outcome.modules.push_back(Found(path, 32, census));
    for (const TakenModule& taken : checks.Modules64())
        outcome.modules.push_back(Found(taken.module, 64, census));
    return outcome;
}

int AlertLevelOf(const CListItemState& host) {
    CListItemState copy = host;
    return ApplyAlertLevel(copy);
}
