// The console scan against the window, in one run. N hidden host processes
// install the sample module's keyboard hook; the program times the real
// veyrith.exe from F5 to its complete list (the progress walk, the end of
// the scan, the census, the rows), and the whole run of veyrith_scan.exe
// (start to exit, its JSON written), alternately for R rounds.
//   console_scan_bench [-rounds R] [N]   (default 3 rounds, 20 hosts)
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

// A started program, ended when the object goes; a quiet one has no
// standard handles.
class Program {
public:
    explicit Program(std::string line, bool quiet = false) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (quiet) startup.dwFlags = STARTF_USESTDHANDLES;
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info))
            m_info = PROCESS_INFORMATION{};
        if (m_info.hThread) CloseHandle(m_info.hThread);
    }
    ~Program() {
        if (!m_info.hProcess) return;
        if (WaitForSingleObject(m_info.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(m_info.hProcess, 1);
        CloseHandle(m_info.hProcess);
    }
    DWORD Id() const { return m_info.dwProcessId; }
    // The exit code, or -1 when it did not end within timeoutMs.
    long Wait(DWORD timeoutMs) const {
        DWORD code = 0;
        if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION m_info = {};
};

struct Search {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchFrame(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char caption[32] = {};
    GetWindowTextA(hwnd, caption, sizeof(caption));
    if (owner != search->processId || !IsWindowVisible(hwnd) || strcmp(caption, "Veyrith") != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    if (lstrcmpiA(name, search->className) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

template <typename Done>
bool WaitFor(DWORD timeoutMs, Done done) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        if (done()) return true;
        Sleep(10);
    }
    return done();
}

LRESULT Count(HWND window, UINT message) { return SendMessageA(window, message, 0, 0); }

// The window's scan: F5 to the list showing every host; -1 on failure.
double WindowScanMs(int hosts) {
    Program veyrith("\"" + BinDir() + "veyrith.exe\"");
    Search frame = {veyrith.Id(), nullptr, nullptr};
    if (!WaitFor(30000, [&] { return EnumWindows(&MatchFrame, reinterpret_cast<LPARAM>(&frame)), frame.found; }))
        return -1;
    Search tree = {0, WC_TREEVIEWA, nullptr}, list = {0, WC_LISTVIEWA, nullptr};
    EnumChildWindows(frame.found, &MatchChild, reinterpret_cast<LPARAM>(&tree));
    EnumChildWindows(frame.found, &MatchChild, reinterpret_cast<LPARAM>(&list));
    if (!tree.found || !list.found) return -1;
    // The start item is there once the splash has gone.
    if (!WaitFor(10000, [&] { return Count(tree.found, TVM_GETCOUNT) == 1; })) return -1;
    Sleep(1500);
    SetForegroundWindow(frame.found);
    Sleep(100);
    double started = NowMs();
    keybd_event(VK_F5, 0, 0, 0);
    keybd_event(VK_F5, 0, KEYEVENTF_KEYUP, 0);
    if (!WaitFor(5000, [&] { return Count(tree.found, TVM_GETCOUNT) == 0; })) return -1;
    if (!WaitFor(120000, [&] { return Count(list.found, LVM_GETITEMCOUNT) >= hosts; })) return -1;
    double ms = NowMs() - started;
    PostMessageA(frame.found, WM_USER, 0, 0);
    veyrith.Wait(10000);
    return ms;
}

// The console scan's whole run; -1 when it did not find the module.
double ConsoleScanMs() {
    std::string json = BinDir() + "console_scan_bench.json";
    double started = NowMs();
    Program scan("\"" + BinDir() + "veyrith_scan.exe\" --json \"" + json + "\"", true);
    long code = scan.Wait(120000);
    double ms = NowMs() - started;
    DeleteFileA(json.c_str());
    return code == 1 ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3, hosts = 20;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "-rounds") && i + 1 < argc) rounds = atoi(argv[++i]);
        else hosts = atoi(argv[i]);
    }
    SampleHookHosts running(hosts, "keyboard");
    if (!running.WaitReady()) {
        printf("hosts did not start\n");
        return 1;
    }
    printf("%d hidden hosts of the sample hook\n", hosts);
    printf("round  window F5 to complete list ms  console scan whole run ms  ratio\n");
    for (int round = 1; round <= rounds; ++round) {
        double window = WindowScanMs(hosts);
        double console = ConsoleScanMs();
        printf("%5d  %30.0f  %25.0f  %5.2f\n", round, window, console, window > 0 ? console / window : 0.0);
    }
    return 0;
}
