#include "operations.h"

#include "privilege.h"
#include "common/registry_names.h"

#include <shellapi.h>

bool ReadStoredRequest(unsigned char (&buffer)[kToolRequestBufferSize]) {
    ZeroMemory(buffer, sizeof(buffer));
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof(buffer);
    LONG status = RegQueryValueExA(key, kConfigureValue, nullptr, nullptr, buffer, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

int EndProcess(DWORD processId, const char* fileToDelete) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return 0;
    if (!SetPrivilege(token, SE_DEBUG_NAME, true)) {
        CloseHandle(token);
        return 0;
    }
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (!process) {
        // The privilege stays on; the tool exits at once anyway.
        CloseHandle(token);
        return 0;
    }
    SetPrivilege(token, SE_DEBUG_NAME, false);
    BOOL terminated = TerminateProcess(process, 0xFFFFFFFF);
    CloseHandle(token);
    CloseHandle(process);
    if (!terminated) return 0;
    if (!fileToDelete) return 1;
    // A fixed pause lets the system release the ended process's image file.
    Sleep(1000);
    return DeleteFileA(fileToDelete) ? 1 : 0;
}

int ScheduleDeleteAtReboot(const ToolRequest& request) {
    return MoveFileExA(request.path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}

int MoveRequestedFile(const ToolRequest& request) {
    return MoveFileA(request.path, request.target) ? 1 : 0;
}

int CopyRequestedFile(const ToolRequest& request) {
    return CopyFileA(request.path, request.target, FALSE) ? 1 : 0;
}

int RemoveAutorunEntry(const ToolRequest& request) {
    if (request.id == 2) return DeleteFileA(request.path) ? 1 : 0;
    if (request.id != 1) return 1;
    HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(request.rootKey));
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, request.path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return 0;
    LONG status = RegDeleteValueA(key, request.valueName);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 1 : 0;
}

namespace {

BOOL CALLBACK StopAtOwnWindow(HWND window, LPARAM lParam) {
    bool* ownsWindow = reinterpret_cast<bool*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    *ownsWindow = processId == GetCurrentProcessId();
    return *ownsWindow ? FALSE : TRUE;
}

bool OwnsTopLevelWindow() {
    bool ownsWindow = false;
    EnumWindows(StopAtOwnWindow, reinterpret_cast<LPARAM>(&ownsWindow));
    return ownsWindow;
}

}  // namespace

int ShowProperties(const ToolRequest& request) {
    // The sheet belongs to the shell, which closes it when the user does; stay
    // alive while this process still owns a top-level window. The shell must
    // not put up error boxes of its own: the tool shows nothing, and such a
    // box would keep it alive until someone found and closed it.
    do {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
        info.hwnd = GetActiveWindow();
        info.lpVerb = "properties";
        info.lpFile = request.path;
        info.nShow = SW_HIDE;
        ShellExecuteExA(&info);
        Sleep(3000);
    } while (OwnsTopLevelWindow());
    return 0;
}

int RunOperation(ToolSwitch which, const ToolRequest& request) {
    switch (which) {
    case ToolSwitch::Kill: return EndProcess(request.id, nullptr);
    case ToolSwitch::KillDelete: return EndProcess(request.id, request.path);
    case ToolSwitch::MoveReboot: return ScheduleDeleteAtReboot(request);
    case ToolSwitch::Move: return MoveRequestedFile(request);
    case ToolSwitch::Copy: return CopyRequestedFile(request);
    case ToolSwitch::RegAutorun: return RemoveAutorunEntry(request);
    case ToolSwitch::Info: return ShowProperties(request);
    case ToolSwitch::None: break;
    }
    return 0;
}
