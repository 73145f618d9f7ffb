#include "uninstall/phase_one.h"

#include "common/executable_folder.h"
#include "common/owners.h"
#include "common/product.h"
#include "common/system_error.h"
#include "installer_shared/dll_search.h"
#include "installer_shared/texts.h"
#include "uninstall/paths.h"
#include "uninstall/resources/resource.h"
#include "uninstall/work_folder.h"

#include <windows.h>

#include <string>

namespace uninstall {
namespace {

bool UserConfirms() {
    std::wstring text = installer::LoadText(IDS_CONFIRM_REMOVAL);
    std::wstring caption = installer::LoadText(IDS_CONFIRM_CAPTION);
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowNotStarted(DWORD error) {
    std::wstring text = installer::FormatText(installer::LoadText(IDS_NOT_STARTED), {SystemErrorText(error)});
    std::wstring caption = installer::LoadText(IDS_CONFIRM_CAPTION);
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

// From here on the product is gone from the system's list of installed
// programs, whatever the removal does.
void DeleteRegistration() {
    CRegistryKey parent;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRegistrationParentKeyW, 0, KEY_ALL_ACCESS, parent.Receive()) !=
        ERROR_SUCCESS)
        return;
    RegDeleteKeyW(parent.Get(), kRegistrationNameW);
}

void RemoveWorkCopy(const std::wstring& copy) {
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(ParentOf(copy).c_str());
}

// The program's own file, not the first word of its command line: whoever
// starts it chooses that word. False with the error of the call that failed.
bool CopyIntoWorkFolder(std::wstring& copy, DWORD& error) {
    std::wstring folder;
    if (!CreateWorkFolder(folder)) {
        error = GetLastError();
        return false;
    }
    copy = JoinPath(folder, kWorkCopyName);
    if (CopyFileW(ExecutablePath().c_str(), copy.c_str(), TRUE)) return true;
    error = GetLastError();
    RemoveWorkCopy(copy);
    return false;
}

// The copy starts held, so that the registration is gone before it runs,
// and in the system folder, so that no folder of the installation is its
// current folder while the removal deletes it.
bool StartHeld(const std::wstring& copy, PROCESS_INFORMATION& started) {
    std::wstring commandLine = L"\"" + copy + L"\"" + kRunArgument;
    std::wstring currentFolder = SystemFolder();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started) != FALSE;
}

}  // namespace

void RunPhaseOne() {
    if (!UserConfirms()) return;
    std::wstring copy;
    DWORD error = ERROR_SUCCESS;
    if (!CopyIntoWorkFolder(copy, error)) {
        ShowNotStarted(error);
        return;
    }
    PROCESS_INFORMATION started = {};
    if (!StartHeld(copy, started)) {
        error = GetLastError();
        RemoveWorkCopy(copy);
        ShowNotStarted(error);
        return;
    }
    CHandle process(started.hProcess);
    CHandle thread(started.hThread);
    DeleteRegistration();
    ResumeThread(thread.Get());
}

}  // namespace uninstall
