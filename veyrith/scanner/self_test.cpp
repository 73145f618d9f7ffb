#include "scanner/self_test.h"

#include <cstdio>

namespace {

const char* const kSelfTestModules[] = {kSelfTestModuleFileName, kSelfTestModule64FileName};

// How long a host gets to end by itself before it is ended outright.
constexpr DWORD kStopGraceMs = 2000;

// A name no other start shares: this process, and a count of starts.
std::string ReadyEventName() {
    static LONG starts = 0;
    char name[96];
    snprintf(name, sizeof(name), "Local\\VeyrithSelfTestReady.%lu.%ld",
             static_cast<unsigned long>(GetCurrentProcessId()), InterlockedIncrement(&starts));
    return name;
}

const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/') name = p + 1;
    }
    return name;
}

}  // namespace

CSelfTest::~CSelfTest() { Stop(); }

bool CSelfTest::Start(const std::string& hostPath) {
    Stop();
    std::string eventName = ReadyEventName();
    m_hReady = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    if (!m_hReady) return false;
    std::string commandLine = "\"" + hostPath + "\" -ready " + eventName + " -parent " +
                              std::to_string(GetCurrentProcessId());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(hostPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        Close();
        return false;
    }
    CloseHandle(info.hThread);
    m_hProcess = info.hProcess;
    m_dwThreadId = info.dwThreadId;
    return true;
}

bool CSelfTest::WaitUntilReady(DWORD timeoutMs) {
    if (!m_hProcess) return false;
    HANDLE handles[] = {m_hReady, m_hProcess};
    // The ready event is first: a host that signalled and then ended still
    // had its hooks in place.
    return WaitForMultipleObjects(2, handles, FALSE, timeoutMs) == WAIT_OBJECT_0;
}

bool CSelfTest::IsRunning() const {
    return m_hProcess && WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT;
}

void CSelfTest::Stop() {
    if (m_hProcess && IsRunning()) {
        PostThreadMessageA(m_dwThreadId, WM_QUIT, 0, 0);
        if (WaitForSingleObject(m_hProcess, kStopGraceMs) != WAIT_OBJECT_0) {
            TerminateProcess(m_hProcess, 0);
            WaitForSingleObject(m_hProcess, kStopGraceMs);
        }
    }
    Close();
}

void CSelfTest::Close() {
    if (m_hProcess) CloseHandle(m_hProcess);
    if (m_hReady) CloseHandle(m_hReady);
    m_hProcess = nullptr;
    m_hReady = nullptr;
    m_dwThreadId = 0;
}

bool IsSelfTestModule(const char* path) {
    const char* name = FileNamePart(path);
    for (const char* module : kSelfTestModules) {
        if (!lstrcmpiA(name, module)) return true;
    }
    return false;
}
