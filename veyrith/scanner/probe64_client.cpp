#include "scanner/probe64_client.h"

#include <mutex>
#include <new>

#include "common/owners.h"

namespace {

// How often the worker looks at the pipe while the probe writes nothing: an
// anonymous pipe has no overlapped reads, and the deadline must hold even
// when the probe never writes or never ends.
constexpr DWORD kPollMs = 20;
constexpr DWORD kChunkBytes = 64 * 1024;


}  // namespace

struct CProbe64Run::Shared {
    std::mutex lock;
    CHandle process;  // set before the worker starts, then unchanged
    DWORD processId = 0;
    HWND window = nullptr;
    UINT message = 0;
    bool running = false;
    bool cancelled = false;
    bool hasResult = false;
    ProbeOutcome outcome = PROBE_NOT_STARTED;
    ProbeAnswer answer;

    Shared() = default;
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;
};

namespace {

// The worker's part: the read end of the pipe is its own.
struct ReadJob {
    std::shared_ptr<CProbe64Run::Shared> shared;
    CHandle pipe;
    DWORD timeoutMs = 0;
};

bool IsCancelled(CProbe64Run::Shared& shared) {
    std::lock_guard<std::mutex> guard(shared.lock);
    return shared.cancelled;
}

bool ReadAvailable(HANDLE pipe, DWORD available, std::string& text) {
    char chunk[kChunkBytes];
    DWORD got = 0;
    if (!ReadFile(pipe, chunk, available < kChunkBytes ? available : kChunkBytes, &got, nullptr))
        return false;
    text.append(chunk, got);
    return true;
}

// Reads until the pipe ends (every copy of its write end is closed: the probe
// has ended). PROBE_OK then; otherwise why the reading stopped early.
ProbeOutcome ReadUntilEnd(ReadJob& job, std::string& text) {
    DWORD started = GetTickCount();
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(job.pipe.Get(), nullptr, 0, nullptr, &available, nullptr)) return PROBE_OK;
        if (available) {
            if (!ReadAvailable(job.pipe.Get(), available, text)) return PROBE_OK;
            if (text.size() <= kProbeAnswerMaxBytes) continue;
            TerminateProcess(job.shared->process.Get(), 1);
            return PROBE_BAD_ANSWER;
        }
        if (IsCancelled(*job.shared)) return PROBE_CANCELLED;
        if (GetTickCount() - started >= job.timeoutMs) {
            TerminateProcess(job.shared->process.Get(), 1);
            return PROBE_TIMED_OUT;
        }
        Sleep(kPollMs);
    }
}

// Hands the result over unless the run was cancelled meanwhile.
void Deliver(CProbe64Run::Shared& shared, ProbeOutcome outcome, ProbeAnswer& answer) {
    std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.cancelled) return;
    shared.outcome = outcome;
    shared.answer = std::move(answer);
    shared.hasResult = true;
    shared.running = false;
    if (shared.window) PostMessageW(shared.window, shared.message, 0, 0);
}

// The answer is read and parsed here, off the window's thread. Memory that
// runs out on the way makes it a bad answer, never an end of the scanner.
ProbeOutcome ReadAndParse(ReadJob& job, ProbeAnswer& answer) {
    std::string text;
    ProbeOutcome outcome = PROBE_BAD_ANSWER;
    try {
        outcome = ReadUntilEnd(job, text);
    } catch (const std::bad_alloc&) {
        TerminateProcess(job.shared->process.Get(), 1);
        return PROBE_BAD_ANSWER;
    }
    if (outcome == PROBE_OK) ParseProbeAnswer(text, answer, outcome);
    return outcome;
}

DWORD WINAPI ReadThread(void* param) {
    std::unique_ptr<ReadJob> job(static_cast<ReadJob*>(param));
    ProbeAnswer answer;
    ProbeOutcome outcome = ReadAndParse(*job, answer);
    Deliver(*job->shared, outcome, answer);
    return 0;
}

// A pipe whose write end the child inherits; the read end stays ours alone.
bool OpenPipe(CHandle& read, CHandle& write) {
    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, TRUE};
    if (!CreatePipe(read.Receive(), write.Receive(), &security, 0)) return false;
    SetHandleInformation(read.Get(), HANDLE_FLAG_INHERIT, 0);
    return true;
}

bool Launch(const std::wstring& path, HANDLE output, PROCESS_INFORMATION& info) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    std::wstring line = L"\"" + path + L"\"";
    return CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &info) != 0;
}

void NoteNotStarted(CProbe64Run::Shared& shared) {
    std::lock_guard<std::mutex> guard(shared.lock);
    shared.outcome = PROBE_NOT_STARTED;
    shared.hasResult = true;
    shared.running = false;
}

}  // namespace



CProbe64Run::CProbe64Run() : m_shared(std::make_shared<Shared>()) {}

CProbe64Run::~CProbe64Run() { Cancel(); }

bool CProbe64Run::Start(const std::wstring& folder, HWND window, UINT message, DWORD timeoutMs) {
    if (IsRunning()) return false;
    // A fresh shared state: a worker of an earlier, cancelled run may still
    // hold the old one.
    m_shared = std::make_shared<Shared>();
    m_shared->window = window;
    m_shared->message = message;
    auto job = std::make_unique<ReadJob>();
    job->shared = m_shared;
    job->timeoutMs = timeoutMs;
    CHandle write;
    if (!OpenPipe(job->pipe, write)) {
        NoteNotStarted(*m_shared);
        return false;
    }
    PROCESS_INFORMATION info = {};
    bool launched = Launch(folder + kProbe64FileNameW, write.Get(), info);
    // The probe holds its own copy now: the pipe ends when the probe does.
    write.Reset();
    if (!launched) {
        NoteNotStarted(*m_shared);
        return false;
    }
    // Only the process is kept, not its first thread.
    CHandle(info.hThread).Reset();
    AllowSetForegroundWindow(info.dwProcessId);
    m_shared->process = CHandle(info.hProcess);
    m_shared->processId = info.dwProcessId;
    m_shared->running = true;
    CHandle thread(CreateThread(nullptr, 0, ReadThread, job.get(), 0, nullptr));
    if (!thread) {
        TerminateProcess(info.hProcess, 1);
        NoteNotStarted(*m_shared);
        return false;
    }
    // The worker owns its job now.
    job.release();
    return true;
}

bool CProbe64Run::IsRunning() const {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    return m_shared->running;
}

// A result that is there but not taken yet is dropped as well: the run's
// message may still be on its way to the window.
void CProbe64Run::Cancel() {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    if (!m_shared->running && !m_shared->hasResult) return;
    if (m_shared->running) TerminateProcess(m_shared->process.Get(), 1);
    m_shared->cancelled = true;
    m_shared->running = false;
    m_shared->outcome = PROBE_CANCELLED;
    m_shared->answer = ProbeAnswer();
    m_shared->hasResult = true;
}

DWORD CProbe64Run::ProcessId() const {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    return m_shared->processId;
}

bool CProbe64Run::TakeResult(ProbeOutcome& outcome, ProbeAnswer& answer) {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    if (m_shared->running || !m_shared->hasResult) return false;
    outcome = m_shared->outcome;
    answer = std::move(m_shared->answer);
    m_shared->answer = ProbeAnswer();
    m_shared->hasResult = false;
    return true;
}
