// What a scan's own checks cost the window: how long ending the walk (which
// stops the self-test host) blocks the caller, over several scans, and the
// memory the scanner needs for the largest companion answer it accepts,
// beside the size of an answer of 200 modules with 500 hosts each.
//   scan_checks_bench [ROUNDS]   (default 10)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "findings/probe_answer.h"
#include "scanner/scan_checks.h"

#include "bench_support.h"

namespace {

// Private memory in use now (the peak counter is not kept by every system).
double UsedMiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

// A record as a real machine has them: a program under Program Files, its
// description, and for every third one a Run value.
CListItemState RealisticRecord(size_t index) {
    CListItemState record = {};
    swprintf(record.m_szPath, MAX_PATH,
             L"C:\\Program Files\\Vendor Name %u\\Product Suite\\bin\\program_%u.exe",
             static_cast<unsigned>(index % 50), static_cast<unsigned>(index));
    lstrcpynW(record.m_szDescription, L"Vendor Product Suite background helper", 1024);
    record.m_dwProcessId = 4000 + static_cast<DWORD>(index) * 4;
    record.m_ftCreated = {static_cast<DWORD>(index) + 1, 0x01DB0000};
    if (index % 3 == 0) {
        record.m_autoRun.m_nType = AUTORUN_REGISTRY;
        lstrcpynW(record.m_autoRun.m_szLocation, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 260);
        lstrcpynW(record.m_autoRun.m_szProgram, record.m_szPath, 260);
        record.m_autoRun.m_hRootKey = HKEY_CURRENT_USER;
        swprintf(record.m_autoRun.m_szValueName, 128, L"Vendor Helper %u", static_cast<unsigned>(index));
    }
    return record;
}

std::string AnswerText(size_t modules, size_t perModule) {
    ProbeAnswer answer;
    answer.selfTestSeen = true;
    for (size_t m = 0; m < modules; ++m) {
        ProbeModule module;
        module.path = L"C:\\Program Files\\Vendor Name\\Hooks\\hook_module_" + std::to_wstring(m) + L".dll";
        for (size_t r = 0; r < perModule; ++r) module.records.push_back(RealisticRecord(r));
        answer.modules.push_back(std::move(module));
    }
    return WriteProbeAnswer(answer);
}

void EndWalkBlocking(int rounds) {
    double worst = 0, total = 0;
    int ready = 0;
    for (int i = 0; i < rounds; ++i) {
        CScanChecks checks;
        checks.Begin(BinDirW());
        for (int wait = 0; wait < 100 && !checks.SelfTestReady(); ++wait) Sleep(20);
        if (checks.SelfTestReady()) ++ready;
        double start = NowMs();
        checks.EndWalk(nullptr, 0);
        double blocked = NowMs() - start;
        worst = std::max(worst, blocked);
        total += blocked;
        Sleep(300);
    }
    printf("end of the walk (self-test stopped), %d rounds, %d with the host ready:\n", rounds, ready);
    printf("  caller blocked: mean %.1f ms, worst %.1f ms\n", total / rounds, worst);
}

void AnswerMemory() {
    std::string real = AnswerText(200, 500);
    printf("answer of 200 modules x 500 hosts: %.1f MiB of text, %zu records\n",
           static_cast<double>(real.size()) / (1024.0 * 1024.0), static_cast<size_t>(200 * 500));
    real.clear();
    real.shrink_to_fit();
    const size_t modules = kProbeAnswerMaxRecords / kProbeAnswerMaxRecordsPerModule;
    std::string largest = AnswerText(modules, kProbeAnswerMaxRecordsPerModule);
    double before = UsedMiB();
    ProbeAnswer answer;
    ProbeOutcome outcome = PROBE_NOT_STARTED;
    bool read = ParseProbeAnswer(largest, answer, outcome);
    printf("largest accepted answer: %zu records, %.1f MiB of text, read %s; memory in use %.0f MiB "
           "with the text and the parsed answer (%.0f MiB with the text alone)\n",
           kProbeAnswerMaxRecords, static_cast<double>(largest.size()) / (1024.0 * 1024.0),
           read ? "whole" : "NOT", UsedMiB(), before);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? atoi(argv[1]) : 10;
    EndWalkBlocking(rounds > 0 ? rounds : 10);
    AnswerMemory();
    return 0;
}
