// Cost of one census against its floor. With N host processes that have the
// sample module loaded, times one census of that module and, in the same run,
// the bare walk that any census must make: EnumProcesses, then for every
// process EnumProcessModules and GetModuleFileNameExA of every module. The
// last column is the census's module matching alone, without the facts.
//   census_bench [N...]      (default 10 50 100)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autorun/autorun_sources.h"
#include "scanner/affected_applications.h"

#include "bench_support.h"

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

// The floor: every module name of every process that can be opened.
int BareWalk() {
    DWORD ids[1024];
    DWORD needed = 0;
    if (!EnumProcesses(ids, sizeof(ids), &needed)) return 0;
    int names = 0;
    for (DWORD i = 0; i < needed / sizeof(DWORD); ++i) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
        if (!process) continue;
        HMODULE modules[1024];
        DWORD bytes = 0;
        if (EnumProcessModules(process, modules, sizeof(modules), &bytes)) {
            for (DWORD m = 0; m < bytes / sizeof(HMODULE); ++m) {
                char path[MAX_PATH];
                if (GetModuleFileNameExA(process, modules[m], path, MAX_PATH)) ++names;
            }
        }
        CloseHandle(process);
    }
    return names;
}

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
    double floorMs;
    double matchMs;
};

bool Measure(int count, Figures& figures) {
    HostGroup group(count);
    if (group.Count() != count || !group.WaitReady()) return false;
    std::wstring dll = BinDirW() + L"sample_hook.dll";
    CAffectedApplications census;
    std::vector<double> censusTimes, floorTimes, matchTimes;
    for (int round = 0; round < kRounds; ++round) {
        double start = NowMs();
        CAutoRunArray inventory;
        CollectAutoRuns(inventory);
        census.TakeCensus(dll.c_str(), inventory);
        censusTimes.push_back(NowMs() - start);
        start = NowMs();
        BareWalk();
        floorTimes.push_back(NowMs() - start);
        start = NowMs();
        MatchWalk(dll.c_str());
        matchTimes.push_back(NowMs() - start);
    }
    figures = {count, census.GetCount(), Median(censusTimes), Median(floorTimes), Median(matchTimes)};
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(atoi(argv[i]));
    if (counts.empty()) counts = {10, 50, 100};

    printf("%6s %8s %12s %12s %7s %14s\n", "hosts", "records", "census ms", "floor ms", "ratio",
           "match-only ms");
    std::vector<Figures> all;
    for (int count : counts) {
        Figures figures;
        if (!Measure(count, figures)) {
            printf("%6d: the hosts did not start\n", count);
            return 1;
        }
        all.push_back(figures);
        printf("%6d %8d %12.1f %12.1f %7.2f %14.1f\n", figures.hosts, figures.records,
               figures.censusMs, figures.floorMs, figures.censusMs / figures.floorMs, figures.matchMs);
        fflush(stdout);
    }
    for (size_t i = 1; i < all.size(); ++i) {
        printf("from %d to %d hosts: census x%.2f, floor x%.2f\n", all[i - 1].hosts, all[i].hosts,
               all[i].censusMs / all[i - 1].censusMs, all[i].floorMs / all[i - 1].floorMs);
    }
    bool withinGoal = true;
    for (const Figures& figures : all) withinGoal = withinGoal && figures.censusMs <= 1.5 * figures.floorMs;
    printf("goal (census within 1.5x of the floor): %s\n", withinGoal ? "met" : "missed");
    return 0;
}
