#include "process_rules.h"

#include "common/executable_folder.h"
#include "common/owners.h"
#include "common/path_identity.h"
#include "common/system_library.h"

#include <vector>

namespace {

typedef BOOL(WINAPI* IsCriticalFn)(HANDLE, PBOOL);

const wchar_t* const kSystemProcesses[] = {L"smss.exe",    L"csrss.exe",   L"wininit.exe",
                                           L"winlogon.exe", L"services.exe", L"lsass.exe"};

FARPROC KernelFunction(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }

bool IsSystemProcessImage(const std::wstring& image) {
    const std::wstring folder = SystemFolder();
    for (const wchar_t* name : kSystemProcesses) {
        if (IsFileInFolder(image.c_str(), folder, name) ||
            IsFileInFolder(image.c_str(), PathFor32BitAccess(folder), name))
            return true;
    }
    return false;
}

bool MarkedCritical(HANDLE process) {
    auto isCritical = reinterpret_cast<IsCriticalFn>(reinterpret_cast<void*>(KernelFunction("IsProcessCritical")));
    BOOL critical = FALSE;
    return isCritical && isCritical(process, &critical) && critical;
}

// In the tool's own folder or any folder below it, compared by canonical
// forms.
bool IsInToolFolder(const std::wstring& image) {
    const std::wstring folder = CanonicalPath(ExecutableFolder().c_str());
    const std::wstring path = CanonicalPath(image.c_str());
    if (folder.empty() || path.size() <= folder.size()) return false;
    const std::wstring head = path.substr(0, folder.size());
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, head.c_str(), static_cast<int>(head.size()),
                          folder.c_str(), static_cast<int>(folder.size())) == CSTR_EQUAL &&
           (folder.back() == L'\\' || path[folder.size()] == L'\\');
}

// explorer.exe directly in the Windows folder (the user's own and, on a
// terminal server, the system's).
bool IsWindowsShell(const std::wstring& image) {
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH && IsFileInFolder(image.c_str(), folder, L"explorer.exe")) return true;
    length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH && IsFileInFolder(image.c_str(), folder, L"explorer.exe");
}

// The user of a process's token (TOKEN_USER and the SID after it).
bool TokenUserOf(HANDLE process, std::vector<unsigned char>& user) {
    CHandle token;
    if (!OpenProcessToken(process, TOKEN_QUERY, token.Receive())) return false;
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size < sizeof(TOKEN_USER)) return false;
    user.assign(size, 0);
    return GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size) != FALSE;
}

bool IsSameUser(HANDLE process) {
    std::vector<unsigned char> theirs, ours;
    if (!TokenUserOf(process, theirs) || !TokenUserOf(GetCurrentProcess(), ours)) return false;
    PSID theirSid = reinterpret_cast<TOKEN_USER*>(theirs.data())->User.Sid;
    PSID ourSid = reinterpret_cast<TOKEN_USER*>(ours.data())->User.Sid;
    return IsValidSid(theirSid) && IsValidSid(ourSid) && EqualSid(theirSid, ourSid);
}

// The caller holds a handle of the process, so its id names no other
// process while this is asked.
bool IsSameSession(DWORD processId) {
    DWORD theirs = 0, ours = 0;
    return ProcessIdToSessionId(processId, &theirs) && ProcessIdToSessionId(GetCurrentProcessId(), &ours) &&
           theirs == ours;
}

}  // namespace

bool IsCriticalProcess(DWORD processId, HANDLE process, const std::wstring& image) {
    return processId == 0 || processId == 4 || IsSystemProcessImage(image) || MarkedCritical(process);
}

bool IsOffLimits(DWORD processId, HANDLE process, const std::wstring& image) {
    return IsCriticalProcess(processId, process, image) || IsInToolFolder(image) || IsWindowsShell(image) ||
           !IsSameUser(process) || !IsSameSession(processId);
}
