// What the provocation costs: each round, in a fresh process, runs every
// stage once (timing each) with the self-test's hooks in place for the
// keyboard and posted-message stages, and counts the window manager's
// requests that were refused meanwhile. Hosts of other hooks that run
// during the bench add their requests to the count.
//   provocation_bench [ROUNDS]   (default 7)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/executable_folder.h"
#include "scanner/loader_hooks.h"
#include "scanner/own_modules.h"
#include "scanner/provocation.h"
#include "scanner/self_test.h"

#include "bench_support.h"

__attribute__((used)) static CHookRequests* const kHookRequests = &g_hookRequests;

namespace {

// One round: the milliseconds of each stage, then of all of them, then the
// refused requests and whether the self-test's module was asked for.
void OneRound() {
    CSelfTest selfTest;
    bool ready = selfTest.Start(ExecutableFolder() + kSelfTestHostFileNameW) && selfTest.WaitUntilReady(5000);
    CProvocation provocation(GetModuleHandleW(nullptr));
    double all = NowMs();
    for (int stage = 0; stage < kStageCount; ++stage) {
        double started = NowMs();
        bool ran = provocation.RunStage(stage);
        printf("%.1f%s ", NowMs() - started, ran ? "" : "!");
    }
    printf("%.1f %lu %d\n", NowMs() - all, g_hookRequests.RefusedCount(), ready && IsSelfTestRecorded() ? 1 : 0);
    selfTest.Stop();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "-round") {
        OneRound();
        return 0;
    }
    int rounds = argc > 1 ? atoi(argv[1]) : 7;
    printf("per round: ms of each stage (");
    for (int stage = 0; stage < kStageCount; ++stage) printf("%s ", StageKey(stage));
    printf("; ! = could not run), ms of all, refused requests, self-test seen\n");
    for (int i = 0; i < rounds; ++i) {
        printf("%s", OutputOf(L"\"" + BinDirW() + L"provocation_bench.exe\" -round").c_str());
        fflush(stdout);
    }
    return 0;
}
