#include "scanner/process_identity.h"

#include <algorithm>

#include "common/owners.h"
#include "common/path_identity.h"

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION, which older headers lack; systems
// before it refuse it and get the full query right instead.
constexpr DWORD kLimitedQuery = 0x1000;

// A process opened to name its image and read its times and state.
CHandle OpenQueryableProcess(DWORD processId) {
    CHandle process(OpenProcess(kLimitedQuery | SYNCHRONIZE, FALSE, processId));
    if (!process)
        process = CHandle(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId));
    return process;
}

bool IsRunning(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

bool IsZero(const FILETIME& time) { return time.dwLowDateTime == 0 && time.dwHighDateTime == 0; }

}  // namespace

bool ReadProcessCreationTime(HANDLE process, FILETIME& created) {
    FILETIME exited, kernel, user;
    return GetProcessTimes(process, &created, &exited, &kernel, &user) != 0;
}

bool ReadProcessCreationTime(DWORD processId, FILETIME& created) {
    CHandle process = OpenQueryableProcess(processId);
    return process && ReadProcessCreationTime(process.Get(), created);
}

bool ReadProcessImage(DWORD processId, std::wstring& image) {
    CHandle process = OpenQueryableProcess(processId);
    if (!process || !IsRunning(process.Get())) return false;
    image = ProcessImagePath(process.Get());
    return !image.empty();
}

bool IsSameProcess(DWORD processId, const wchar_t* imagePath, const FILETIME& created) {
    CHandle process = OpenQueryableProcess(processId);
    if (!process || !IsRunning(process.Get())) return false;
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
