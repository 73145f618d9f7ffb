#include "scanner/process_identity.h"

#include <psapi.h>

#include <algorithm>

#include "findings/path_identity.h"

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION, which older headers lack; systems
// before it refuse it and get the full query right instead.
constexpr DWORD kLimitedQuery = 0x1000;
constexpr DWORD kImageChars = 32768;

typedef BOOL(WINAPI* QueryImageFn)(HANDLE, DWORD, LPWSTR, PDWORD);

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

QueryImageFn QueryImageFunction() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return reinterpret_cast<QueryImageFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "QueryFullProcessImageNameW")));
}

bool ReadImage(HANDLE process, std::wstring& image) {
    image.assign(kImageChars, L'\0');
    DWORD length = kImageChars;
    QueryImageFn query = QueryImageFunction();
    if (query) {
        if (!query(process, 0, &image[0], &length)) return false;
    } else {
        length = GetModuleFileNameExW(process, nullptr, &image[0], kImageChars);
        if (length == 0 || length >= kImageChars) return false;
    }
    image.resize(length);
    return true;
}

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
    return process.Get() && IsRunning(process.Get()) && ReadImage(process.Get(), image);
}

bool IsSameProcess(DWORD processId, const wchar_t* imagePath, const FILETIME& created) {
    CProcessHandle process(processId);
    std::wstring image;
    if (!process.Get() || !IsRunning(process.Get()) || !ReadImage(process.Get(), image)) return false;
    if (!IsSamePath(image.c_str(), imagePath)) return false;
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
