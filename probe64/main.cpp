// veyrith_probe64: the 64-bit companion of the scanner. The system asks to
// load a 64-bit program's system-wide hook module only into 64-bit
// processes; this one runs the stages of the provocation in itself, where
// each such load is recorded and refused, takes the census of the modules
// asked for and writes the answer (findings/probe_answer.h) to its standard
// output, which the scanner reads through a pipe.
// Exit codes: 0 answer written, 1 no standard output, 2 no window, 3 the
// answer could not be written.
#include <windows.h>

#include "common/executable_folder.h"
#include "common/write_all.h"
#include "probe64/probe_run.h"
#include "scanner/loader_hooks.h"
#include "scanner/provocation.h"
#include "scanner/self_test.h"

// The loader hooks install themselves during static construction of their
// unit; this reference keeps that unit in the program.
__attribute__((used)) static CHookRequests* const kHookRequests = &g_hookRequests;

namespace {

constexpr DWORD kSelfTestReadyMs = 5000;

enum ExitCode { EXIT_ANSWERED = 0, EXIT_NO_OUTPUT = 1, EXIT_NO_WINDOW = 2, EXIT_NOT_WRITTEN = 3 };

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!output || output == INVALID_HANDLE_VALUE) return EXIT_NO_OUTPUT;
    // The pipe stays ours: a program started here must not keep it open
    // after this one has ended.
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    CProvocation provocation(instance);
    if (!provocation.Window()) return EXIT_NO_WINDOW;
    StageSet notRun = provocation.RunStages();
    // The self-test's hooks come last: they are the newest of their kinds
    // and would stand before every other hook.
    CSelfTest selfTest;
    if (selfTest.Start(ExecutableFolder() + kSelfTestHost64FileNameW) && selfTest.WaitUntilReady(kSelfTestReadyMs))
        provocation.RunStages(kSelfTestStages);
    selfTest.Stop();
    ProbeAnswer answer = TakeProbeCensus(notRun);
    return WriteAllBytes(output, WriteProbeAnswer(answer)) ? EXIT_ANSWERED : EXIT_NOT_WRITTEN;
}
