#include "uninstall/phase_one.h"

#include "common/product.h"
#include "common/owners.h"
#include "installer_shared/system_library.h"
#include "uninstall/paths.h"
#include "uninstall/resources/resource.h"
#include "uninstall/texts.h"
#include "uninstall/work_folder.h"

#include <windows.h>

#include <string>

namespace uninstall {
namespace {

bool UserConfirms() {
    std::wstring text = LoadText(IDS_CONFIRM_REMOVAL);
    std::wstring caption = LoadText(IDS_CONFIRM_CAPTION);
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowNotStarted() {
    std::wstring text = LoadText(IDS_NOT_STARTED);
    std::wstring caption = LoadText(IDS_CONFIRM_CAPTION);
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
// starts it chooses that word.
bool CopyIntoWorkFolder(std::wstring& copy) {
    std::wstring folder;
    if (!CreateWorkFolder(folder)) return false;
    copy = JoinPath(folder, kWorkCopyName);
    if (CopyFileW(OwnExecutablePath().c_str(), copy.c_str(), TRUE)) return true;
    RemoveWorkCopy(copy);
    return false;
}

// The copy starts held, so that the registration is gone before it runs,
// and in the system folder, so that no folder of the installation is its
// current folder while the removal deletes it.
bool StartHeld(const std::wstring& copy, PROCESS_INFORMATION& started) {
    std::wstring commandLine = L"\"" + copy + L"\"" + kRunArgument;
    std::wstring currentFolder = installer::SystemFolder();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started) != FALSE;
}

}  // namespace

void RunPhaseOne() {
    if (!UserConfirms()) return;
    std::wstring copy;
    PROCESS_INFORMATION started = {};
    if (!CopyIntoWorkFolder(copy)) {
        ShowNotStarted();
        return;
    }
    if (!StartHeld(copy, started)) {
        RemoveWorkCopy(copy);
        ShowNotStarted();
        return;
    }
    CHandle process(started.hProcess);
    CHandle thread(started.hThread);
    DeleteRegistration();
    ResumeThread(thread.Get());
}

}  // namespace uninstall
