#include "scanner/process_identity.h"

#include <algorithm>

#include "common/path_identity.h"

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION, which older headers lack; systems
// before it refuse it and get the full query right instead.
constexpr DWORD kLimitedQuery = 0x1000;

class CProcessHandle {
public:
    explicit CProcessHandle(DWORD processId) {
        m_handle = OpenProcess(kLimitedQuery | SYNCHRONIZE, FALSE, processId);
        if (!m_handle)
            m_handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId);
    }
    ~CProcessHandle() {
        if (m_handle) CloseHandle(m_handle);
    }
    CProcessHandle(const CProcessHandle&) = delete;
    CProcessHandle& operator=(const CProcessHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

bool IsRunning(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

bool IsZero(const FILETIME& time) { return time.dwLowDateTime == 0 && time.dwHighDateTime == 0; }

}  // namespace

bool ReadProcessCreationTime(HANDLE process, FILETIME& created) {
    FILETIME exited, kernel, user;
    return GetProcessTimes(process, &created, &exited, &kernel, &user) != 0;
}

bool ReadProcessCreationTime(DWORD processId, FILETIME& created) {
    CProcessHandle process(processId);
    return process.Get() && ReadProcessCreationTime(process.Get(), created);
}

bool ReadProcessImage(DWORD processId, std::wstring& image) {
    CProcessHandle process(processId);
    if (!process.Get() || !IsRunning(process.Get())) return false;
    image = ProcessImagePath(process.Get());
    return !image.empty();
}

bool IsSameProcess(DWORD processId, const wchar_t* imagePath, const FILETIME& created) {
    CProcessHandle process(processId);
    if (!process.Get() || !IsRunning(process.Get())) return false;
    std::wstring image = ProcessImagePath(process.Get());
    if (image.empty() || !IsSamePath(image.c_str(), imagePath)) return false;
    if (IsZero(created)) return true;
    FILETIME actual = {};
    return ReadProcessCreationTime(process.Get(), actual) && CompareFileTime(&actual, &created) == 0;
}

bool IsRecordProcess(const CListItemState& record) {
    return IsSameProcess(record.m_dwProcessId, record.m_szPath, record.m_ftCreated);
}

void DropChangedProcesses(std::vector<CListItemState>& records) {
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [](const CListItemState& record) { return !IsRecordProcess(record); }),
                  records.end());
}
