// What the provocation needs: with the self-test's hooks in place, a 1x1
// window of this program takes the foreground and gets F24 pressed once;
// the program times how long until the window manager has loaded the
// self-test's module into it (recorded by the loader hooks), with messages
// pumped meanwhile. Each round runs in a fresh process, since a module is
// recorded only once.
//   provocation_bench [ROUNDS]   (default 7)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/executable_folder.h"
#include "probe64/probe_run.h"
#include "scanner/loader_hooks.h"
#include "scanner/own_modules.h"
#include "scanner/provocation.h"
#include "scanner/self_test.h"

#include "bench_support.h"

__attribute__((used)) static CSimpleStrArray* const kMonitoringModules = &g_monitoringModules;

namespace {

constexpr DWORD kGiveUpMs = 5000;

// One round: milliseconds from the key press until the module is recorded;
// -1 when it never was.
double OneRound() {
    CSelfTest selfTest;
    if (!selfTest.Start(ExecutableFolder() + kSelfTestHostFileNameW) || !selfTest.WaitUntilReady(5000)) return -1;
    HWND window = CreateProbeWindow(GetModuleHandleW(nullptr));
    SetForegroundWindow(window);
    double started = NowMs();
    ProvokeKeyboardHooks();
    double ms = -1;
    while (NowMs() - started < kGiveUpMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (IsSelfTestRecorded()) {
            ms = NowMs() - started;
            break;
        }
    }
    DestroyWindow(window);
    selfTest.Stop();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "-round") {
        printf("%.1f\n", OneRound());
        return 0;
    }
    int rounds = argc > 1 ? atoi(argv[1]) : 7;
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        std::string line = "\"" + BinDir() + "provocation_bench.exe\" -round";
        FILE* pipe = _popen(line.c_str(), "r");
        char text[64] = {};
        if (pipe && fgets(text, sizeof(text), pipe)) times.push_back(atof(text));
        if (pipe) _pclose(pipe);
    }
    std::sort(times.begin(), times.end());
    printf("key press to the self-test's module recorded, %zu rounds:", times.size());
    for (double t : times) printf(" %.1f", t);
    if (!times.empty()) printf("\nmedian %.1f ms, worst %.1f ms\n", times[times.size() / 2], times.back());
    return 0;
}
