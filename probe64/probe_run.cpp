#include "probe64/probe_run.h"


#include "autorun/autorun_sources.h"
#include "scanner/affected_applications.h"
#include "scanner/own_modules.h"

namespace {

const char kWindowClass[] = "VeyrithProbe64";
constexpr BYTE kProvokingKey = 0x87;  // F24: no keyboard has it
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
    for (int i = 0; i < kKeyPresses; ++i) {
        keybd_event(kProvokingKey, 0, 0, 0);
        keybd_event(kProvokingKey, 0, KEYEVENTF_KEYUP, 0);
        PumpMessages(kPumpMs);
    }
}

ProbeAnswer TakeProbeCensus() {
    ProbeAnswer answer;
    answer.selfTestSeen = IsSelfTestRecorded();
    ModuleTreeItems items = CurrentModuleTreeItems();
    CModuleCensus census(items.names);
    census.Take(CollectAutoRunsWithCom());
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
