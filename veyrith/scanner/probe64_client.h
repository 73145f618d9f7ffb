// The scanner's side of the 64-bit companion. On 64-bit Windows the system
// loads a 64-bit program's system-wide hook module only into 64-bit
// processes, so the 32-bit scanner never sees it; veyrith_probe64.exe
// provokes the hooks in a 64-bit process of its own, takes the census there
// and writes its answer (findings/probe_answer.h) to its standard output.
// A CProbe64Run starts it and reads that answer on a worker thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/product.h"
#include "common/path_identity.h"
#include "findings/probe_answer.h"


// One run of the probe. Its worker thread reads the answer; the object may
// go while the thread still runs.
class CProbe64Run {
public:
    CProbe64Run();
    // Cancels a run that has not ended.
    ~CProbe64Run();
    CProbe64Run(const CProbe64Run&) = delete;
    CProbe64Run& operator=(const CProbe64Run&) = delete;

    // Starts folder + kProbe64FileName (folder with its trailing backslash)
    // with its standard output on a pipe and lets it take the foreground. A
    // worker thread reads until the pipe ends or timeoutMs has passed (then
    // the probe is ended), parses the answer and posts `message` to window
    // (when there is one). False when a run is going on already, or when the
    // probe could not be started (TakeResult then gives PROBE_NOT_STARTED).
    bool Start(const std::wstring& folder, HWND window, UINT message, DWORD timeoutMs);
    // True from Start until the worker has finished or the run was cancelled.
    bool IsRunning() const;
    // Ends a probe that still runs through the run's own process handle and
    // drops the answer, also one that is ready but not taken; TakeResult then
    // gives PROBE_CANCELLED. Nothing after the result was taken. Never waits
    // for the worker thread.
    void Cancel();
    // The probe's process id; 0 before a start.
    DWORD ProcessId() const;
    // The outcome and, for PROBE_OK, the answer of a finished run, once.
    // False while the run goes on and after the result was taken.
    bool TakeResult(ProbeOutcome& outcome, ProbeAnswer& answer);

    // What the worker and the run share. The worker keeps it alive as long as
    // it runs; whichever lets go last closes the process handle.
    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};
