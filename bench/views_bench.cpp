// Cost of the scan's timer tick and of a tree selection. With N host
// processes that have the sample module loaded, times each tick of the
// progress dialog's walk (one process shown: process list, path, file
// check, icon) and one fill of the affected-applications list (census plus
// rows and icons). The ticks come every 200 ms and must stay far below it.
//   views_bench [N...]      (default 10 100)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scanner/scan_indicator_dlg.h"
#include "shell/frame_services.h"
#include "views/veyrith_view.h"

namespace {

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.rfind('\\') + 1);
}

double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Hosts of the sample module, ended together through one quit event.
class Hosts {
public:
    explicit Hosts(int count) {
        char name[64];
        snprintf(name, sizeof(name), "veyrith-views-bench-quit-%lu", GetCurrentProcessId());
        m_quit = CreateEventA(nullptr, TRUE, FALSE, name);
        std::string quit = name;
        for (int i = 0; i < count; ++i) {
            snprintf(name, sizeof(name), "veyrith-views-bench-ready-%lu-%d", GetCurrentProcessId(), i);
            HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name);
            std::string line = "\"" + BinDir() + "sample_hook_host.exe\" -hook none -dll \"" + BinDir() +
                               "sample_hook.dll\" -ready " + name + " -quit " + quit;
            STARTUPINFOA startup = {};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION info = {};
            if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
                CloseHandle(info.hThread);
                m_processes.push_back(info.hProcess);
            }
            m_ready.push_back(ready);
        }
    }
    ~Hosts() {
        SetEvent(m_quit);
        for (HANDLE process : m_processes) {
            if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
            CloseHandle(process);
        }
        for (HANDLE ready : m_ready) CloseHandle(ready);
        CloseHandle(m_quit);
    }
    bool WaitReady() const {
        if (m_processes.size() != m_ready.size()) return false;
        for (HANDLE ready : m_ready)
            if (WaitForSingleObject(ready, 60000) != WAIT_OBJECT_0) return false;
        return true;
    }

private:
    HANDLE m_quit = nullptr;
    std::vector<HANDLE> m_processes;
    std::vector<HANDLE> m_ready;
};

// A plain top-level window holding the list pane; the bench's stand-in for
// the main frame. The walk's end finds no tree or info pane and stops there.
class BenchFrame : public CFrameServices {
public:
    BenchFrame() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VeyrithViewsBench";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 400, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        SetFrameServices(this);
        m_list.Create(m_window, 1);
        m_list.SetReportMode();
        m_list.OnInitialUpdate();
    }
    ~BenchFrame() override {
        SetFrameServices(nullptr);
        DestroyWindow(m_window);
    }
    HWND FrameWindow() const override { return m_window; }
    void StartScan() override {}
    void SetMessageText(const std::string&) override {}
    bool IsHiddenOnlyChecked() const override { return false; }
    HFONT BoldFont() const override { return nullptr; }
    CLeftView* LeftView() override { return nullptr; }
    CVeyrithView* ListView() override { return &m_list; }
    CInfoView* InfoView() override { return nullptr; }

private:
    HWND m_window = nullptr;
    CVeyrithView m_list;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Measure(int count) {
    Hosts hosts(count);
    if (!hosts.WaitReady()) {
        printf("%6d: the hosts did not start\n", count);
        return;
    }
    BenchFrame frame;
    CScanIndicatorDlg dialog;
    std::vector<double> ticks;
    dialog.Start();
    while (dialog.IsRunning()) {
        double start = NowMs();
        dialog.ShowNextProcess();
        ticks.push_back(NowMs() - start);
    }
    std::string dll = BinDir() + "sample_hook.dll";
    CharLowerA(&dll[0]);
    std::vector<double> fills;
    for (int round = 0; round < 5; ++round) {
        double start = NowMs();
        frame.ListView()->Fill(dll.c_str());
        fills.push_back(NowMs() - start);
    }
    // The first tick of a process's life also loads the shell's icon code.
    double first = ticks.front();
    ticks.erase(ticks.begin());
    double later = ticks.empty() ? 0 : *std::max_element(ticks.begin(), ticks.end());
    printf("%6d %6zu %10.1f %10.1f %10.1f %6d %10.1f\n", count, ticks.size() + 1, first, Median(ticks), later,
           frame.ListView()->GetRowCount(), Median(fills));
    fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(atoi(argv[i]));
    if (counts.empty()) counts = {10, 100};
    printf("%6s %6s %10s %10s %10s %6s %10s\n", "hosts", "ticks", "first ms", "tick ms", "max ms", "rows",
           "fill ms");
    for (int count : counts) Measure(count);
    return 0;
}
