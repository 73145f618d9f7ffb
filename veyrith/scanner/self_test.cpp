#include "scanner/self_test.h"

#include <string>

const wchar_t kSelfTestHost[] = L"veyrith_selftest.exe";
const wchar_t kSelfTestHost64[] = L"veyrith_selftest64.exe";

namespace {

const wchar_t* const kSelfTestModules[] = {L"veyrith_selftest.dll", L"veyrith_selftest64.dll"};

// How long a host gets to end by itself before it is ended outright.
constexpr DWORD kStopGraceMs = 2000;

// A name no other start shares: this process, and a count of starts.
std::wstring ReadyEventName() {
    static LONG starts = 0;
    return L"Local\\VeyrithSelfTestReady." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(InterlockedIncrement(&starts));
}

const wchar_t* FileNamePart(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/') name = p + 1;
    }
    return name;
}

}  // namespace

CSelfTest::~CSelfTest() { Stop(); }

bool CSelfTest::Start(const std::wstring& hostPath) {
    Stop();
    std::wstring eventName = ReadyEventName();
    m_hReady = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
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

bool IsSelfTestModule(const wchar_t* path) {
    const wchar_t* name = FileNamePart(path);
    for (const wchar_t* module : kSelfTestModules) {
        if (!lstrcmpiW(name, module)) return true;
    }
    return false;
}
