#include "scanner/module_snapshot.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cwchar>

#include "common/owners.h"

namespace {

// A process that is starting up may not yet have a complete loader list:
// the snapshot then fails with ERROR_BAD_LENGTH and is taken again.
constexpr int kSnapshotAttempts = 5;
constexpr DWORD kRetryPauseMs = 1;
constexpr DWORD kListBytes = 4096;
constexpr DWORD kOpenAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
// Module paths are read whole, however long, so a long one is never taken
// for another that it starts with.
constexpr DWORD kLongestPathChars = 32768;

class CModuleSnapshot {
public:
    explicit CModuleSnapshot(DWORD processId) {
        for (int attempt = 0; attempt < kSnapshotAttempts; ++attempt) {
            m_handle = CHandle(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
            if (m_handle || GetLastError() != ERROR_BAD_LENGTH) return;
            Sleep(kRetryPauseMs);
        }
    }

    bool First(MODULEENTRY32W& entry) const {
        entry.dwSize = sizeof(entry);
        return m_handle && Module32FirstW(m_handle.Get(), &entry);
    }
    bool Next(MODULEENTRY32W& entry) const {
        entry.dwSize = sizeof(entry);
        return Module32NextW(m_handle.Get(), &entry) != FALSE;
    }

private:
    CHandle m_handle;
};

// A process opened for reading module names, only when one is needed.
class CReadableProcess {
public:
    explicit CReadableProcess(DWORD processId) : m_processId(processId) {}

    HANDLE Get() {
        if (!m_bTried) m_handle = CHandle(OpenProcess(kOpenAccess, FALSE, m_processId));
        m_bTried = true;
        return m_handle.Get();
    }

private:
    DWORD m_processId;
    CHandle m_handle;
    bool m_bTried = false;
};

// The full path of a module of a process; empty when it cannot be read.
std::wstring ModulePathOf(HANDLE process, HMODULE module, std::vector<wchar_t>& buffer) {
    if (!process) return std::wstring();
    if (buffer.size() < kLongestPathChars) buffer.resize(kLongestPathChars);
    DWORD length = GetModuleFileNameExW(process, module, buffer.data(), kLongestPathChars);
    if (length == 0 || length >= kLongestPathChars - 1) return std::wstring();
    return std::wstring(buffer.data(), length);
}

// The entry's path. The snapshot holds at most MAX_PATH - 1 characters of
// it: a path that fills the field may have been cut and is read whole from
// the process instead (rare, and then for that one module only).
std::wstring EntryPath(const MODULEENTRY32W& entry, CReadableProcess& process, std::vector<wchar_t>& buffer) {
    size_t length = wcsnlen(entry.szExePath, MAX_PATH);
    if (length < MAX_PATH - 1) return std::wstring(entry.szExePath, length);
    return ModulePathOf(process.Get(), entry.hModule, buffer);
}

// The module handles of a process; empty when they cannot be listed.
std::vector<HMODULE> ListModuleHandles(HANDLE process) {
    std::vector<HMODULE> modules(kListBytes / sizeof(HMODULE));
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules.data(), kListBytes, &needed)) needed = 0;
    modules.resize((needed < kListBytes ? needed : kListBytes) / sizeof(HMODULE));
    return modules;
}

}  // namespace

bool ReadProcessModules(DWORD processId, std::vector<std::wstring>& paths) {
    paths.clear();
    CModuleSnapshot snapshot(processId);
    MODULEENTRY32W entry;
    if (!snapshot.First(entry)) return false;
    CReadableProcess process(processId);
    std::vector<wchar_t> buffer;
    do {
        paths.push_back(EntryPath(entry, process, buffer));
    } while (snapshot.Next(entry));
    // A process whose executable cannot be named is not read at all.
    if (paths.front().empty()) paths.clear();
    return !paths.empty();
}

bool ReadProcessExecutable(DWORD processId, std::wstring& path) {
    path.clear();
    CModuleSnapshot snapshot(processId);
    MODULEENTRY32W entry;
    if (!snapshot.First(entry)) return false;
    CReadableProcess process(processId);
    std::vector<wchar_t> buffer;
    path = EntryPath(entry, process, buffer);
    return !path.empty();
}

bool ReadProcessModulesOneByOne(DWORD processId, std::vector<std::wstring>& paths) {
    paths.clear();
    CReadableProcess process(processId);
    if (!process.Get()) return false;
    std::vector<wchar_t> buffer;
    for (HMODULE module : ListModuleHandles(process.Get())) paths.push_back(ModulePathOf(process.Get(), module, buffer));
    if (!paths.empty() && paths.front().empty()) paths.clear();
    return !paths.empty();
}
