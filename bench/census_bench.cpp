// Cost of one census against the bare walks over the processes. With N host
// processes that have the sample module loaded, times one census of that
// module and, in the same run, the per-module API walk (EnumProcessModules,
// then GetModuleFileNameExW of every module) and the bare snapshot walk (one
// module snapshot per process) over the same processes. The last column is
// the census's module matching alone, without the facts. Then times the
// autorun inventory with K values added to the user's Run key against a bare
// RegEnumValueW walk of the same keys.
//   census_bench [-runvalues K] [N...]      (default K 3000, N 10 100 200)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autorun/autorun_sources.h"
#include "common/autorun_places.h"
#include "census/census.h"

#include "bench_support.h"
#include "module_walks.h"

namespace {

constexpr int kRounds = 7;

struct Host {
    PROCESS_INFORMATION info;
};

class HostGroup {
public:
    explicit HostGroup(int count) {
        char name[64];
        snprintf(name, sizeof(name), "veyrith-bench-quit-%lu", GetCurrentProcessId());
        m_quit = CreateEventA(nullptr, TRUE, FALSE, name);
        std::string quitName = name;
        std::string dll = BinDir() + "sample_hook.dll";
        for (int i = 0; i < count; ++i) {
            snprintf(name, sizeof(name), "veyrith-bench-ready-%lu-%d", GetCurrentProcessId(), i);
            HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name);
            std::string line = "\"" + BinDir() + "sample_hook_host.exe\" -hook none -dll \"" + dll +
                               "\" -ready " + name + " -quit " + quitName;
            STARTUPINFOA startup = {};
            startup.cb = sizeof(startup);
            Host host = {};
            if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &host.info)) {
                m_hosts.push_back(host);
                m_ready.push_back(ready);
            } else {
                CloseHandle(ready);
            }
        }
    }

    // True when every host has the module loaded.
    bool WaitReady() {
        for (HANDLE ready : m_ready)
            if (WaitForSingleObject(ready, 60000) != WAIT_OBJECT_0) return false;
        return true;
    }

    int Count() const { return static_cast<int>(m_hosts.size()); }

    ~HostGroup() {
        SetEvent(m_quit);
        for (Host& host : m_hosts) {
            if (WaitForSingleObject(host.info.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(host.info.hProcess, 1);
            CloseHandle(host.info.hProcess);
            CloseHandle(host.info.hThread);
        }
        for (HANDLE ready : m_ready) CloseHandle(ready);
        CloseHandle(m_quit);
    }

private:
    HANDLE m_quit = nullptr;
    std::vector<Host> m_hosts;
    std::vector<HANDLE> m_ready;
};

// The census's own walk without the facts: which processes have the module.
int MatchWalk(const wchar_t* modulePath) {
    DWORD ids[1024];
    DWORD needed = 0;
    if (!EnumProcesses(ids, sizeof(ids), &needed)) return 0;
    int found = 0;
    for (DWORD i = 0; i < needed / sizeof(DWORD); ++i) {
        std::wstring exePath;
        if (FindModuleInProcess(ids[i], modulePath, exePath)) ++found;
    }
    return found;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    int hosts;
    int records;
    double censusMs;
    double apiMs;
    double snapshotMs;
    double matchMs;
    int apiNames;
    int snapshotNames;
};

bool Measure(int count, Figures& figures) {
    HostGroup group(count);
    if (group.Count() != count || !group.WaitReady()) return false;
    std::wstring dll = BinDirW() + L"sample_hook.dll";
    CAffectedApplications census;
    std::vector<double> censusTimes, apiTimes, snapshotTimes, matchTimes;
    int apiNames = 0, snapshotNames = 0;
    for (int round = 0; round < kRounds; ++round) {
        double start = NowMs();
        CAutoRunArray inventory;
        CollectAutoRuns(inventory);
        census.TakeCensus(dll.c_str(), inventory);
        censusTimes.push_back(NowMs() - start);
        start = NowMs();
        apiNames = ApiWalk();
        apiTimes.push_back(NowMs() - start);
        start = NowMs();
        snapshotNames = SnapshotWalk();
        snapshotTimes.push_back(NowMs() - start);
        start = NowMs();
        MatchWalk(dll.c_str());
        matchTimes.push_back(NowMs() - start);
    }
    figures = {count,           census.GetCount(),      Median(censusTimes), Median(apiTimes),
               Median(snapshotTimes), Median(matchTimes), apiNames,         snapshotNames};
    return true;
}

// The bare walk of every Run-type key: each value's name and data read once.
int BareRunKeyWalk() {
    int values = 0;
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(65536);
    for (size_t i = 0; i < kRunKeyPlaceCount; ++i) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(kRunKeyPlaces[i].root, kRunKeyPlaces[i].subkey, 0, KEY_READ, &key)) continue;
        for (DWORD index = 0;; ++index) {
            DWORD nameChars = static_cast<DWORD>(name.size());
            DWORD dataBytes = static_cast<DWORD>(data.size());
            DWORD type = 0;
            if (RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &type, data.data(), &dataBytes))
                break;
            ++values;
        }
        RegCloseKey(key);
    }
    return values;
}

int ReadAllRunKeys() {
    CAutoRunArray inventory;
    for (size_t i = 0; i < kRunKeyPlaceCount; ++i)
        ReadRunKey(kRunKeyPlaces[i].root, kRunKeyPlaces[i].subkey, inventory);
    return static_cast<int>(inventory.size());
}

int WholeInventory() {
    CAutoRunArray inventory;
    CollectAutoRuns(inventory);
    return static_cast<int>(inventory.size());
}

struct InventoryFigures {
    int bareCount = 0, runKeyCount = 0, wholeCount = 0;
    double bareMs = 0, runKeysMs = 0, wholeMs = 0;
};

InventoryFigures TimeInventory() {
    InventoryFigures figures;
    std::vector<double> bare, runKeys, whole;
    for (int round = 0; round < kRounds; ++round) {
        double start = NowMs();
        figures.bareCount = BareRunKeyWalk();
        bare.push_back(NowMs() - start);
        start = NowMs();
        figures.runKeyCount = ReadAllRunKeys();
        runKeys.push_back(NowMs() - start);
        start = NowMs();
        figures.wholeCount = WholeInventory();
        whole.push_back(NowMs() - start);
    }
    figures.bareMs = Median(bare);
    figures.runKeysMs = Median(runKeys);
    figures.wholeMs = Median(whole);
    return figures;
}

void PrintInventory(const char* what, const InventoryFigures& figures) {
    printf("%-20s %-34s %8d %10.1f %7s\n", what, "bare RegEnumValueW walk", figures.bareCount, figures.bareMs, "1.00");
    printf("%-20s %-34s %8d %10.1f %7.2f\n", what, "Run keys read (ReadRunKey)", figures.runKeyCount,
           figures.runKeysMs, figures.runKeysMs / figures.bareMs);
    printf("%-20s %-34s %8d %10.1f %7.2f\n", what, "whole inventory (CollectAutoRuns)", figures.wholeCount,
           figures.wholeMs, figures.wholeMs / figures.bareMs);
}

// The inventory with runValues added Run values against the bare walk of
// the same keys. The whole inventory also reads the Startup folders (through
// the shell) and win.ini, whose cost does not depend on the Run values: the
// same figures without the added values show it.
void MeasureInventory(int runValues) {
    printf("\ninventory (median of %d rounds)\n", kRounds);
    printf("%-20s %-34s %8s %10s %7s\n", "Run values added", "", "entries", "ms", "ratio");
    PrintInventory("0", TimeInventory());
    BenchRunValues values(runValues);
    InventoryFigures figures = TimeInventory();
    PrintInventory(std::to_string(runValues).c_str(), figures);
    printf("goal (the Run keys and the whole inventory with %d values added within 1.5x of the bare walk): "
           "%s, %s\n",
           runValues, figures.runKeysMs <= 1.5 * figures.bareMs ? "met" : "missed",
           figures.wholeMs <= 1.5 * figures.bareMs ? "met" : "missed");
}

}  // namespace

int main(int argc, char** argv) {
    const BenchArguments arguments = ParseBenchArguments(argc, argv, 3000);
    const int runValues = arguments.runValues;
    const std::vector<int>& counts = arguments.counts;

    printf("%6s %8s %10s %10s %10s %8s %8s %9s %12s\n", "hosts", "records", "census ms", "api ms",
           "snap ms", "c/api", "c/snap", "snap/api", "modules");
    std::vector<Figures> all;
    for (int count : counts) {
        Figures figures;
        if (!Measure(count, figures)) {
            printf("%6d: the hosts did not start\n", count);
            return 1;
        }
        all.push_back(figures);
        printf("%6d %8d %10.1f %10.1f %10.1f %8.2f %8.2f %9.2f %5d/%-6d\n", figures.hosts, figures.records,
               figures.censusMs, figures.apiMs, figures.snapshotMs, figures.censusMs / figures.apiMs,
               figures.censusMs / figures.snapshotMs, figures.snapshotMs / figures.apiMs, figures.snapshotNames,
               figures.apiNames);
        fflush(stdout);
    }
    for (size_t i = 1; i < all.size(); ++i) {
        printf("from %d to %d hosts: census x%.2f, api walk x%.2f, snapshot walk x%.2f\n", all[i - 1].hosts,
               all[i].hosts, all[i].censusMs / all[i - 1].censusMs, all[i].apiMs / all[i - 1].apiMs,
               all[i].snapshotMs / all[i - 1].snapshotMs);
    }
    bool withinGoal = true;
    for (const Figures& figures : all)
        withinGoal = withinGoal && figures.censusMs <= 0.6 * figures.apiMs && figures.censusMs <= 1.3 * figures.snapshotMs;
    for (size_t i = 1; i < all.size(); ++i)
        if (all[i].hosts == 2 * all[i - 1].hosts) withinGoal = withinGoal && all[i].censusMs <= 2.2 * all[i - 1].censusMs;
    printf("goal (census at most 0.6x the api walk and 1.3x the snapshot walk, growth to twice the hosts "
           "at most x2.2): %s\n",
           withinGoal ? "met" : "missed");
    fflush(stdout);
    if (runValues > 0) MeasureInventory(runValues);
    return 0;
}
