#include "operations.h"

#include "common/autorun_places.h"
#include "common/owners.h"
#include "common/path_identity.h"
#include "file_guard.h"
#include "privilege.h"
#include "process_rules.h"
#include "quarantine_operations.h"
#include "stored_request.h"

#include <shellapi.h>

namespace {

// How long -kill_del waits for the ended process to be gone before it
// deletes the file; well inside the ten seconds that veyrith waits for the tool.
const DWORD kProcessEndWaitMs = 5000;

// The two roots that autorun registry entries live under, as stored.
const DWORD kCurrentUserRoot = 0x80000001;
const DWORD kLocalMachineRoot = 0x80000002;

// Opens the process with the debug privilege when the account holds it, and
// without it otherwise: a standard user may still end processes of their own.
CHandle OpenProcessToEnd(DWORD processId, DWORD access) {
    CHandle token;
    bool debug = OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()) &&
                 SetPrivilege(token.Get(), SE_DEBUG_NAME, true);
    CHandle process(OpenProcess(access, FALSE, processId));
    if (debug) SetPrivilege(token.Get(), SE_DEBUG_NAME, false);
    return process;
}

}  // namespace

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION, which older headers lack.
constexpr DWORD kLimitedQuery = 0x1000;

// The process, when it runs the image the request names and is no process
// the system needs; empty otherwise.
CHandle OpenNamedProcess(DWORD processId, const wchar_t* imagePath) {
    CHandle process = OpenProcessToEnd(processId, PROCESS_TERMINATE | SYNCHRONIZE | kLimitedQuery);
    if (!process) process = OpenProcessToEnd(processId, PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION);
    if (!process) return CHandle();
    std::wstring image = ProcessImagePath(process.Get());
    if (!image.empty() && IsSamePath(image.c_str(), imagePath) &&
        !IsCriticalProcess(processId, process.Get(), image))
        return process;
    return CHandle();
}

// A file the tool may delete: backed up byte for byte in the quarantine, and
// not one that Windows protects.
bool MayDelete(const std::wstring& path) { return HasBackup(path) && !IsSystemProtectedFile(path); }

}  // namespace

int EndProcess(DWORD processId, const wchar_t* imagePath, const wchar_t* fileToDelete) {
    if (fileToDelete && !MayDelete(fileToDelete)) return 0;
    CHandle process = OpenNamedProcess(processId, imagePath);
    if (!process) return 0;
    bool terminated = TerminateProcess(process.Get(), 0xFFFFFFFF) != 0;
    // Termination only starts the end: the image file stays locked until the
    // process is really gone, so wait for that (bounded) before deleting.
    if (terminated && fileToDelete) WaitForSingleObject(process.Get(), kProcessEndWaitMs);
    process.Reset();
    if (!terminated) return 0;
    if (!fileToDelete) return 1;
    return DeleteThroughHandle(fileToDelete) ? 1 : 0;
}

int ScheduleDeleteAtReboot(const ToolRequest& request) {
    if (!MayDelete(request.path)) return 0;
    CHandle file;
    if (!OpensWhereItSays(request.path, FILE_READ_ATTRIBUTES, file)) return 0;
    file.Reset();
    return MoveFileExW(request.path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}

namespace {

LONG DeleteRegistryValue(HKEY root, const wchar_t* path, const wchar_t* valueName, REGSAM view) {
    CRegistryKey key;
    LONG status = RegOpenKeyExW(root, path, 0, KEY_SET_VALUE | view, key.Receive());
    if (status != ERROR_SUCCESS) return status;
    return RegDeleteValueW(key.Get(), valueName);
}

}  // namespace

namespace {

// The view a request names; false for any other value.
bool ViewOf(DWORD requested, REGSAM& view) {
    if (requested == kRequestView32) view = 0;
    else if (requested == kRequestView64) view = KEY_WOW64_64KEY;
    else return false;
    return true;
}

// Kind 1: a value directly under one of the Run keys, in the view the scan
// found it in. Kind 2: a shortcut directly in one of the Startup folders.
int RemoveRunValue(const ToolRequest& request) {
    // Autorun entries live only under these two roots; any other value
    // would be used as whatever key handle of this process it happens to be.
    if (request.rootKey != kCurrentUserRoot && request.rootKey != kLocalMachineRoot) return 0;
    HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(request.rootKey));
    REGSAM view = 0;
    if (!IsRunKeyPlace(root, request.path) || !ViewOf(request.view, view) || !request.valueName[0]) return 0;
    return DeleteRegistryValue(root, request.path, request.valueName, view) == ERROR_SUCCESS ? 1 : 0;
}

int RemoveStartupShortcut(const ToolRequest& request) {
    if (!IsStartupShortcutPlace(request.path)) return 0;
    return DeleteThroughHandle(request.path) ? 1 : 0;
}

}  // namespace

int RemoveAutorunEntry(const ToolRequest& request) {
    if (request.id == 1) return RemoveRunValue(request);
    if (request.id == 2) return RemoveStartupShortcut(request);
    return 1;
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
    // box would keep it alive until someone found and closed it. The verb is
    // invoked once: invoking it again would bring the sheet forward over
    // whatever the user is doing.
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetActiveWindow();
    info.lpVerb = L"properties";
    info.lpFile = request.path;
    info.nShow = SW_HIDE;
    ShellExecuteExW(&info);
    do {
        Sleep(3000);
    } while (OwnsTopLevelWindow());
    return 0;
}

int RunOperation(ToolSwitch which, const ToolRequest& request) {
    switch (which) {
    case ToolSwitch::Kill: return EndProcess(request.id, request.target, nullptr);
    case ToolSwitch::KillDelete: return EndProcess(request.id, request.target, request.path);
    case ToolSwitch::MoveReboot: return ScheduleDeleteAtReboot(request);
    case ToolSwitch::Move: return RestoreFromQuarantine(request);
    case ToolSwitch::Copy: return CopyIntoQuarantine(request);
    case ToolSwitch::DeleteCopy: return DeleteFromQuarantine(request);
    case ToolSwitch::RegAutorun: return RemoveAutorunEntry(request);
    case ToolSwitch::Info: return ShowProperties(request);
    case ToolSwitch::None: break;
    }
    return 0;
}

int RunRequestedOperation(const wchar_t* commandLine, CChangeConfirmation& confirmation) {
    std::string parameters;
    if (!AsciiParameterString(commandLine, parameters)) return 0;
    ToolCommand command = ParseToolCommand(parameters.c_str());
    if (command.which == ToolSwitch::None) return 0;
    StoredRequest stored;
    if (!ReadStoredRequest(stored)) return 0;
    if (!MatchesDigest(stored, command.digest)) return 0;
    if (!FitsSwitch(stored, command.which)) return 0;
    const ToolRequest request = RecordOf(stored);
    PlannedChange change;
    if (DescribeChange(command.which, request, change) && !confirmation.Approve(change)) return 0;
    return RunOperation(command.which, request);
}
