// How long the window waits. With N host processes that have the sample
// module loaded, times each tick of the progress dialog's walk, the end of
// a scan (tree rebuilt, census started) and the wait until its rows are
// shown, and tree selections after the census has landed: how long each
// blocks the window and how long until the list is complete. The end of a
// scan to its rows is also given as a ratio to the per-module API walk and
// to the bare snapshot walk over the same processes, timed right after it.
//   views_bench [-runvalues K] [N...]   (default 10 100 200)
// -runvalues K adds K values to the user's Run key for the run (removed
// again at the end), as a machine with a long autorun list has.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <commctrl.h>

#include "census/scan_result.h"
#include "views/module_tree.h"
#include "views/pane_host.h"
#include "views/scan_indicator_dlg.h"
#include "views/affected_list.h"

#include "bench_support.h"
#include "module_walks.h"

namespace {

// A plain top-level window holding the tree and the list, wired as the main
// frame wires them: a tree selection shows the module's rows.
class BenchFrame : public CPaneHost {
public:
    BenchFrame() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VeyrithViewsBench";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 400, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        m_tree.Create(m_window, 1, this, m_result);
        m_list.Create(m_window, 2, this, m_result);
        MoveWindow(m_tree, 0, 0, 300, 380, FALSE);
        MoveWindow(m_list, 300, 0, 580, 380, FALSE);
        m_tree.OnInitialUpdate();
        m_list.SetReportMode();
        m_list.OnInitialUpdate();
    }
    ~BenchFrame() override { DestroyWindow(m_window); }
    HWND HostWindow() const override { return m_window; }
    void StartScan() override {}
    void SetMessageText(const std::wstring&) override {}
    bool IsHiddenOnlyChecked() const override { return false; }
    HFONT BoldFont() const override { return nullptr; }
    void OnTreeSelection(int module) override {
        if (module >= 0)
            m_list.ShowModule(module);
        else
            m_list.ShowNothing();
    }
    // The end of a scan as the main window's: the result written, its
    // census started, the tree built.
    void OnScanWalkEnded() {
        m_result.SetFound(m_items, {});
        m_list.TakeCensus();
        m_tree.ShowModules();
    }

    void SetItems(const DetectedModules& items) { m_items = items; }
    CLeftView& Tree() { return m_tree; }
    CVeyrithView& List() { return m_list; }

private:
    HWND m_window = nullptr;
    CScanResult m_result;
    CLeftView m_tree;
    CVeyrithView m_list;
    DetectedModules m_items;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Handles messages until the list's census has landed.
void WaitForCensus(const CVeyrithView& list) {
    while (list.IsCensusRunning()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Pump();
    }
    Pump();
}

std::wstring ModulePath(const char* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleA(name), path, MAX_PATH);
    CharLowerW(path);
    return path;
}

struct Figures {
    double tickMedian = 0, tickMax = 0;
    double endBlocks = 0, endToRows = 0;
    double selectBlocks = 0, selectToRows = 0;
    double apiWalk = 0, snapshotWalk = 0;
    int rows = 0;
};

void MeasureTicks(BenchFrame& frame, Figures& figures) {
    CScanIndicatorDlg dialog;
    std::vector<double> ticks;
    if (!dialog.Start(&frame, [&frame] { frame.OnScanWalkEnded(); })) return;
    // The walk ends by itself after the last process.
    while (dialog.IsRunning()) {
        double start = NowMs();
        dialog.ShowNextProcess();
        ticks.push_back(NowMs() - start);
    }
    // The first tick of a process's life also loads the shell's icon code.
    if (ticks.size() > 1) ticks.erase(ticks.begin());
    // The walk's end started a census of its own (as a scan's end does);
    // it lands before the measured ends, which would otherwise share the
    // machine with it.
    WaitForCensus(frame.List());
    figures.tickMedian = Median(ticks);
    figures.tickMax = ticks.empty() ? 0 : *std::max_element(ticks.begin(), ticks.end());
}

void MeasureSelections(BenchFrame& frame, Figures& figures) {
    std::vector<double> blocks, complete;
    HTREEITEM root = frame.Tree().GetRootItem();
    HTREEITEM first = TreeView_GetChild(frame.Tree().Tree(), root);
    HTREEITEM second = TreeView_GetNextSibling(frame.Tree().Tree(), first);
    for (int round = 0; round < 10; ++round) {
        HTREEITEM item = round % 2 ? first : second;
        double start = NowMs();
        TreeView_SelectItem(frame.Tree().Tree(), item);
        blocks.push_back(NowMs() - start);
        WaitForCensus(frame.List());
        complete.push_back(NowMs() - start);
    }
    figures.selectBlocks = Median(blocks);
    figures.selectToRows = Median(complete);
}

// The end of a scan and the two walks, interleaved, median of kEndRounds.
constexpr int kEndRounds = 5;

void MeasureEnds(BenchFrame& frame, Figures& figures) {
    std::vector<double> blocks, toRows, api, snapshot;
    for (int round = 0; round < kEndRounds; ++round) {
        double start = NowMs();
        frame.OnScanWalkEnded();
        blocks.push_back(NowMs() - start);
        WaitForCensus(frame.List());
        toRows.push_back(NowMs() - start);
        start = NowMs();
        ApiWalk();
        api.push_back(NowMs() - start);
        start = NowMs();
        SnapshotWalk();
        snapshot.push_back(NowMs() - start);
    }
    figures.endBlocks = Median(blocks);
    figures.endToRows = Median(toRows);
    figures.apiWalk = Median(api);
    figures.snapshotWalk = Median(snapshot);
    figures.rows = frame.List().GetRowCount();
}

bool Measure(int count, Figures& figures) {
    SampleHookHosts hosts(count, "none");
    if (!hosts.WaitReady()) return false;
    std::string dll = BinDir() + "sample_hook.dll";
    HMODULE own = LoadLibraryA(dll.c_str());
    BenchFrame frame;
    DetectedModules items;
    items.modules = {RequestedModule{ModulePath("sample_hook.dll"), StageBit(STAGE_KEYBOARD), 1},
                     RequestedModule{ModulePath("kernel32.dll"), StageBit(STAGE_KEYBOARD), 1}};
    items.selectFirst = true;
    frame.SetItems(items);

    MeasureTicks(frame, figures);
    MeasureEnds(frame, figures);
    MeasureSelections(frame, figures);
    if (own) FreeLibrary(own);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const BenchArguments arguments = ParseBenchArguments(argc, argv, 0);
    const int runValues = arguments.runValues;
    const std::vector<int>& counts = arguments.counts;
    BenchRunValues values(runValues);
    printf("Run values added: %d\n", runValues);
    printf("%6s %9s %9s %10s %12s %9s %9s %8s %8s %11s %13s %6s\n", "hosts", "tick ms", "max tick", "end ms",
           "end->rows ms", "api ms", "snap ms", "r/api", "r/snap", "select ms", "select->rows", "rows");
    for (int count : counts) {
        Figures figures;
        if (!Measure(count, figures)) {
            printf("%6d: the hosts did not start\n", count);
            continue;
        }
        printf("%6d %9.1f %9.1f %10.1f %12.1f %9.1f %9.1f %8.2f %8.2f %11.1f %13.1f %6d\n", count,
               figures.tickMedian, figures.tickMax, figures.endBlocks, figures.endToRows, figures.apiWalk,
               figures.snapshotWalk, figures.endToRows / figures.apiWalk, figures.endToRows / figures.snapshotWalk,
               figures.selectBlocks, figures.selectToRows, figures.rows);
        fflush(stdout);
    }
    return 0;
}
