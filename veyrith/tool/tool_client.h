// The client side of veyrith_configure, the privileged tool that performs one
// change per run: each call stores its request as the REG_BINARY value
// Configure under HKEY_CURRENT_USER "Software\Tarnwick\Veyrith", starts the
// tool with "<switch> <digest>" (the digest of the exact bytes stored, see
// common/request_digest.h), waits for it and reads the exit code (nonzero =
// success). The start (and its consent prompt) and the wait run on a thread
// of their own while the calling thread keeps handling its messages, so the
// window answers all the while; one run at a time. Paths go
// to the tool in UTF-16, exactly as given. The client shows nothing: each
// call says how it went, and the caller tells the user through its desktop.
#pragma once

#include <windows.h>

#include <string>

#include "findings/findings.h"
#include "framework/desktop.h"

// How one call of the tool went.
struct ToolResult {
    enum Failure { kNone, kNotStarted, kPathTooLong, kBusy };

    // The tool's exit code; nonzero = success. 0 too when it did not run,
    // ran too long (it is left running) or its exit code cannot be read.
    DWORD exitCode = 0;
    // Why the tool was not run: it could not be started, or a path did not
    // fit the request (then nothing was stored either), or another run was
    // still going on (nothing stored, nothing started).
    Failure failure = kNone;
    // The system's error when the tool could not be started.
    DWORD startError = 0;

    bool Succeeded() const { return exitCode != 0; }
    // What the user is told when the tool did not run: "Error <code>: " and
    // the system's text for a start (the code alone when the system has no
    // text), "The path is too long..." for a path; empty when it ran.
    std::wstring FailureText() const;
    // The box's type flags for that text.
    UINT FailureType() const { return failure == kNotStarted ? MB_OK : MB_OK | MB_ICONSTOP; }
};

// Shows the result's failure, if it has one, through the desktop; true when
// it showed one.
bool ShowToolFailure(CDesktop& desktop, const ToolResult& result);

// Starts program with the parameter string and show command on a thread of
// its own, waits for it there (at most the tool's question and its change,
// 150 s) while this thread handles its messages, and gives its exit code, or
// the start's failure with the system's error. The process handle is always
// closed. While one run goes on, another fails at once with kBusy.
ToolResult RunTool(const std::wstring& program, const std::wstring& parameters, int show, DWORD waitMs);

// How long a run waits for the tool: its question (which cancels itself
// after two minutes) and the change.
constexpr DWORD kToolWaitMs = 150000;

// True while a run of the tool goes on in this process: the actions that
// change anything are not offered, and closing the window waits for it.
bool IsToolRunning();

// True when a path fits the 260-character path field of a request: at most
// 259 characters. A call given a longer path stores nothing, starts nothing
// and fails with kPathTooLong.
bool FitsToolRequest(const wchar_t* path);

// False for an entry whose key, value or link name did not fit its field
// whole when it was read (a registry entry without a root key, a shortcut
// without a location): no action may name it.
bool IsAutoRunEntryWhole(const CAutoRunInfo& entry);

// The tool in one folder (the program's): every request runs the
// veyrith_configure.exe found there.
class CToolClient {
public:
    // A folder without a trailing backslash gets one; each run waits at
    // most waitMs for the tool.
    explicit CToolClient(std::wstring programFolder, DWORD waitMs = kToolWaitMs);

    // The folder, with its trailing backslash.
    const std::wstring& Folder() const { return m_folder; }
    // The tool's full path: the folder + "veyrith_configure.exe".
    std::wstring ToolPath() const;

    // Ends process processId, which runs imagePath (-kill). The tool ends it
    // only when it still runs that image.
    ToolResult Kill(DWORD processId, const wchar_t* imagePath) const;
    // Ends process processId (running imagePath) and then deletes filePath
    // (-kill_del); the tool deletes only a file with a backup in the
    // quarantine. Success = both done.
    ToolResult KillAndDelete(const wchar_t* filePath, DWORD processId, const wchar_t* imagePath) const;
    // Registers filePath for deletion at the next system start (-move_reboot).
    ToolResult DeleteAtReboot(const wchar_t* filePath) const;
    // Restores a recorded copy (source) to its origin (newPath) and drops its
    // record; fails when newPath exists (-move).
    ToolResult Move(const wchar_t* source, const wchar_t* newPath) const;
    // Backs source up as destination in the quarantine folder and records it
    // in the index (-copy); never over an existing file.
    ToolResult Copy(const wchar_t* source, const wchar_t* destination) const;
    // Deletes a recorded copy in the quarantine folder and its record
    // (-delete_copy).
    ToolResult DeleteCopy(const wchar_t* copyPath) const;
    // Stores the record's autorun entry and the registry view (1308 bytes)
    // whatever its kind; the tool is started (-reg_autorun) only for kinds 1
    // (registry value) and 2 (shortcut file) whose names are whole. Exit
    // code 0 for the others.
    ToolResult RemoveAutoRun(const CListItemState& record, bool in64BitView) const;
    // Shows the Properties sheet of filePath through the tool (-info), owned
    // by owner, opened with the desktop's shell open; does not wait: the tool
    // stays alive while the sheet is open. Fails only for a path too long.
    ToolResult ShowProperties(CDesktop& desktop, HWND owner, const wchar_t* filePath) const;

private:
    // Stores a short request (id, path, target) and runs the tool on it.
    ToolResult RunShortRequest(const char* toolSwitch, DWORD id, const wchar_t* path, const wchar_t* target) const;

    std::wstring m_folder;
    DWORD m_dwWaitMs;
};
