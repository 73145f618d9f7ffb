#include "operations.h"

#include "autorun_removal.h"
#include "common/file_names.h"
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

// PROCESS_QUERY_LIMITED_INFORMATION, which older headers lack.
constexpr DWORD kLimitedQuery = 0x1000;

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

// The process, when it runs the image the request names and the tool may
// end it (process_rules.h); empty otherwise.
CHandle OpenNamedProcess(DWORD processId, const std::wstring& imagePath) {
    if (!IsResolvedPath(imagePath)) return CHandle();
    CHandle process = OpenProcessToEnd(processId, PROCESS_TERMINATE | SYNCHRONIZE | kLimitedQuery);
    if (!process) process = OpenProcessToEnd(processId, PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION);
    if (!process) return CHandle();
    std::wstring image = ProcessImagePath(process.Get());
    if (!image.empty() && IsSamePath(image, imagePath) && !IsOffLimits(processId, process.Get(), image))
        return process;
    return CHandle();
}

// Ends the process and waits until it is gone; the image file stays locked
// until then.
bool EndAndWait(CHandle& process) {
    bool gone = TerminateProcess(process.Get(), 0xFFFFFFFF) &&
                WaitForSingleObject(process.Get(), kProcessEndWaitMs) == WAIT_OBJECT_0;
    process.Reset();
    return gone;
}

// The file -kill_del deletes is the image the process runs: the image path
// itself, or the path by which this 32-bit program reaches a 64-bit
// program's image in the system folder.
bool IsImageFile(const std::wstring& path, const std::wstring& image) {
    return IsResolvedPath(path) && (IsSamePath(path, image) || IsSamePath(path, PathFor32BitAccess(image)));
}

// A file the tool may delete by name: resolved as written, no link on its
// way, not one that Windows protects.
bool IsDeletablePlace(const std::wstring& path) {
    return IsResolvedPath(path) && NoLinkOnTheWay(path) && !IsSystemProtectedFile(path);
}

}  // namespace

int EndProcess(DWORD processId, const wchar_t* imagePath) {
    CHandle process = OpenNamedProcess(processId, imagePath);
    if (!process) return 0;
    return TerminateProcess(process.Get(), 0xFFFFFFFF) ? 1 : 0;
}

int EndProcessAndDeleteImage(DWORD processId, const wchar_t* imagePath, const wchar_t* fileToDelete) {
    if (!IsImageFile(fileToDelete, imagePath) || !IsDeletablePlace(fileToDelete)) return 0;
    const std::vector<std::wstring> copies = BackupsOf(fileToDelete);
    if (copies.empty()) return 0;
    CHandle process = OpenNamedProcess(processId, imagePath);
    if (!process || !EndAndWait(process)) return 0;
    // The checks above were made on the file by its name; the one deleted is
    // the one whose bytes are read through the deleting handle.
    return DeleteWhenBytesOf(fileToDelete, copies) ? 1 : 0;
}

int ScheduleDeleteAtReboot(const ToolRequest& request) {
    if (!IsDeletablePlace(request.path) || BackupsOf(request.path).empty()) return 0;
    CHandle file;
    if (!OpensWhereItSays(request.path, FILE_READ_ATTRIBUTES, file)) return 0;
    file.Reset();
    return MoveFileExW(request.path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
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
    case ToolSwitch::Kill: return EndProcess(request.id, request.target);
    case ToolSwitch::KillDelete: return EndProcessAndDeleteImage(request.id, request.target, request.path);
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
