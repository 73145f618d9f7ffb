#include "probe64/probe_run.h"


#include "census/census.h"
#include "scanner/own_modules.h"
#include "scanner/provocation.h"

namespace {

const char kWindowClass[] = "VeyrithProbe64";
constexpr int kKeyPresses = 2;
constexpr DWORD kSettleMs = 50;
constexpr DWORD kPumpMs = 300;
// Left of and above every screen, so the 1x1 window is never seen.
constexpr int kOffScreen = -32;

// Handles this thread's messages for the given time.
void PumpMessages(DWORD milliseconds) {
    DWORD started = GetTickCount();
    for (DWORD passed = 0; passed < milliseconds; passed = GetTickCount() - started) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace

HWND CreateProbeWindow(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return nullptr;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, kOffScreen,
                                  kOffScreen, 1, 1, nullptr, nullptr, instance, nullptr);
    if (window) ShowWindow(window, SW_SHOWNA);
    return window;
}

void ProvokeHooks(HWND window) {
    SetForegroundWindow(window);
    PumpMessages(kSettleMs);
    ProvokeKeyboardHooks(kKeyPresses, [] { PumpMessages(kPumpMs); });
}

ProbeAnswer TakeProbeCensus() {
    ProbeAnswer answer;
    answer.selfTestSeen = IsSelfTestRecorded();
    DetectedModules items = CurrentDetectedModules();
    CModuleCensus census(items.names);
    TakeCensusWithAutoRuns(census);
    // This process has every module it recorded; it ends right after its
    // answer, so it is no host to show.
    for (const std::wstring& module : items.names) {
        ProbeModule found{module, {}};
        for (const CListItemState& record : *census.Find(module.c_str())) {
            if (record.m_dwProcessId != GetCurrentProcessId()) found.records.push_back(record);
        }
        answer.modules.push_back(found);
    }
    return answer;
}
