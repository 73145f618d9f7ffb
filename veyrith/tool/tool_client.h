// The client side of veyrith_configure, the privileged tool that performs one
// change per run: each call stores its request as the REG_BINARY value
// Configure under HKEY_CURRENT_USER "Software\Tarnwick\Veyrith", starts the
// tool with "<switch> <digest>" (the digest of the exact bytes stored, see
// common/request_digest.h), waits up to 10 s and reads the exit code
// (nonzero = success). Everything runs on the user-interface thread, which
// shows the wait cursor and does nothing else while the tool runs. Paths go
// to the tool in UTF-16, exactly as given.
#pragma once

#include <windows.h>

#include <string>

#include "findings/findings.h"

// The folder that holds veyrith_configure.exe, with a trailing backslash.
// The main frame sets it once to the program folder; until then it is the
// folder of the running executable. A folder without a trailing backslash
// gets one.
void SetToolFolder(const std::wstring& programFolder);
// The tool's full path: the tool folder + "veyrith_configure.exe".
std::wstring ToolPath();

// Starts program with the parameter string and show command, waits for it
// at most 10000 ms and returns its exit code; 0 when it could not be started
// (after a box "Error <code>: " and the system's text for the code), when it
// ran too long (it is left running), or when its exit code cannot be read.
// The process handle is always closed.
DWORD RunTool(const std::wstring& program, const std::wstring& parameters, int show);

// True when a path fits the 260-character path field of a request: at most
// 259 characters. A call given a longer path shows "The path is too long..." with
// the stop icon, stores nothing, starts nothing and fails.
bool FitsToolRequest(const wchar_t* path);

// Ends process processId, which runs imagePath (-kill). The tool ends it only
// when it still runs that image. The tool's exit code; nonzero = ended.
DWORD ToolKill(DWORD processId, const wchar_t* imagePath);
// Ends process processId (running imagePath) and then deletes filePath
// (-kill_del); the tool deletes only a file with a backup in the quarantine.
// The tool's exit code; nonzero = both done.
DWORD ToolKillAndDelete(const wchar_t* filePath, DWORD processId, const wchar_t* imagePath);
// Registers filePath for deletion at the next system start (-move_reboot).
bool ToolDeleteAtReboot(const wchar_t* filePath);
// Restores a recorded copy (source) to its origin (newPath) and drops its
// record; fails when newPath exists (-move).
bool ToolMove(const wchar_t* source, const wchar_t* newPath);
// Backs source up as destination in the quarantine folder and records it
// in the index (-copy); never over an existing file.
bool ToolCopy(const wchar_t* source, const wchar_t* destination);
// Deletes a recorded copy in the quarantine folder and its record
// (-delete_copy).
bool ToolDeleteCopy(const wchar_t* copyPath);
// False for an entry whose key, value or link name did not fit its field
// whole when it was read (a registry entry without a root key, a shortcut
// without a location): no action may name it.
bool IsAutoRunEntryWhole(const CAutoRunInfo& entry);
// Stores the record's autorun entry and the registry view (1308 bytes) whatever its kind;
// the tool is started (-reg_autorun) only for kinds 1 (registry value) and 2
// (shortcut file) whose names are whole. The tool's exit code for those, 0
// otherwise.
DWORD ToolRemoveAutoRun(const CListItemState& record, bool in64BitView);
// Shows the Properties sheet of filePath through the tool (-info), owned by
// owner; does not wait: the tool stays alive while the sheet is open.
void ToolShowProperties(HWND owner, const wchar_t* filePath);
