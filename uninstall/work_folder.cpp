#include "uninstall/work_folder.h"

#include "common/executable_folder.h"
#include "common/owners.h"
#include "uninstall/paths.h"

#include <windows.h>
#include <sddl.h>

#include <cwchar>

namespace uninstall {
namespace {

constexpr wchar_t kWorkFolderSecurity[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr wchar_t kWorkFolderPrefix[] = L"Veyrith uninstall ";
constexpr wchar_t kParkedSuffix[] = L".tmp";
constexpr int kNameAttempts = 100;

std::wstring WindowsTempFolder() {
    wchar_t windows[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return JoinPath(std::wstring(windows, length), L"Temp");
}

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// Sets the rules once more on the folder just made, through a handle to it:
// a file system that has no access lists refuses them, and such a folder,
// which anyone could change, is not used.
bool ConfirmRules(const std::wstring& folder, PSECURITY_DESCRIPTOR descriptor) {
    CHandle handle(CreateFileW(folder.c_str(), WRITE_DAC | READ_CONTROL,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
    return handle && SetKernelObjectSecurity(handle.Get(),
                                             DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                             descriptor);
}

}  // namespace

CLocalMemory WorkFolderDescriptor() {
    CLocalMemory descriptor;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(kWorkFolderSecurity, SDDL_REVISION_1, descriptor.Receive(),
                                                         nullptr);
    return descriptor;
}

bool CreateWorkFolder(std::wstring& folder) {
    std::wstring parent = WindowsTempFolder();
    CLocalMemory descriptor = WorkFolderDescriptor();
    if (parent.empty() || !descriptor) return false;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
    std::wstring stem = JoinPath(parent, kWorkFolderPrefix) + std::to_wstring(GetCurrentProcessId()) + L"-";
    // A name that exists, whoever made it, is never used: the folder must be
    // one that this call created with these rules.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::wstring candidate = stem + std::to_wstring(attempt);
        if (CreateDirectoryW(candidate.c_str(), &attributes)) {
            if (ConfirmRules(candidate, descriptor.Get())) {
                folder = candidate;
                return true;
            }
            DWORD error = GetLastError();
            RemoveDirectoryW(candidate.c_str());
            SetLastError(error);
            return false;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool IsWorkFolder(const std::wstring& folder) {
    return IsSamePath(ParentOf(folder), WindowsTempFolder()) &&
           NameOf(folder).compare(0, wcslen(kWorkFolderPrefix), kWorkFolderPrefix) == 0;
}

void LeaveWorkFolder() {
    std::wstring copy = ExecutablePath();
    std::wstring folder = ParentOf(copy);
    if (copy.empty() || !IsWorkFolder(folder)) return;
    std::wstring parked = folder + kParkedSuffix;
    if (MoveFileExW(copy.c_str(), parked.c_str(), 0)) {
        MoveFileExW(parked.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        RemoveDirectoryW(folder.c_str());
        return;
    }
    // Where even the move fails, both go at the next start of Windows.
    MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace uninstall
