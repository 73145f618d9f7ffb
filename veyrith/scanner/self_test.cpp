#include "scanner/self_test.h"

#include <cstdio>
#include <string>

#include "common/executable_folder.h"
#include "common/path_identity.h"

namespace {

// The self-test modules, each beside the program that starts its host.
const wchar_t* const kSelfTestModules[] = {kSelfTestModuleFileNameW, kSelfTestModule64FileNameW};

// How long a host gets to end by itself before it is ended outright.
constexpr DWORD kStopGraceMs = 2000;

// Waits for a host that was asked to end, and ends it outright when it does
// not within the grace time; owns the process handle it is given.
DWORD WINAPI AwaitHostEnd(void* param) {
    CHandle process(static_cast<HANDLE>(param));
    if (WaitForSingleObject(process.Get(), kStopGraceMs) != WAIT_OBJECT_0) TerminateProcess(process.Get(), 0);
    return 0;
}

// A name no other start shares: this process, and a count of starts.
std::wstring ReadyEventName() {
    static LONG starts = 0;
    return L"Local\\VeyrithSelfTestReady." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(InterlockedIncrement(&starts));
}

}  // namespace

CSelfTest::~CSelfTest() { Stop(); }

bool CSelfTest::Start(const std::wstring& hostPath) {
    Stop();
    std::wstring eventName = ReadyEventName();
    m_hReady = CHandle(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!m_hReady) return false;
    std::wstring commandLine = L"\"" + hostPath + L"\" -ready " + eventName + L" -parent " +
                               std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(hostPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        Close();
        return false;
    }
    // Only the process is kept, not its first thread.
    CHandle(info.hThread).Reset();
    m_hProcess = CHandle(info.hProcess);
    m_dwThreadId = info.dwThreadId;
    return true;
}

bool CSelfTest::WaitUntilReady(DWORD timeoutMs) {
    if (!m_hProcess) return false;
    HANDLE handles[] = {m_hReady.Get(), m_hProcess.Get()};
    // The ready event is first: a host that signalled and then ended still
    // had its hooks in place.
    return WaitForMultipleObjects(2, handles, FALSE, timeoutMs) == WAIT_OBJECT_0;
}

bool CSelfTest::IsRunning() const {
    return m_hProcess && WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

// The grace time is waited out on a thread of its own: the caller is the
// window's thread, which must keep answering while the host ends.
void CSelfTest::Stop() {
    if (m_hProcess && IsRunning()) {
        PostThreadMessageW(m_dwThreadId, WM_QUIT, 0, 0);
        CHandle thread(CreateThread(nullptr, 0, AwaitHostEnd, m_hProcess.Get(), 0, nullptr));
        if (thread)
            m_hProcess.Release();  // the waiting thread owns it now
        else
            TerminateProcess(m_hProcess.Get(), 0);
    }
    Close();
}

void CSelfTest::Close() {
    m_hProcess.Reset();
    m_hReady.Reset();
    m_dwThreadId = 0;
}

bool IsSelfTestModule(const wchar_t* path) {
    const std::wstring folder = ExecutableFolder();
    for (const wchar_t* module : kSelfTestModules) {
        if (IsFileInFolder(path, folder, module)) return true;
    }
    return false;
}

