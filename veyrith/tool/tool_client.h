// The client side of veyrith_configure, the privileged tool that performs one
// change per run: each call stores its request as the REG_BINARY value
// Configure under HKEY_CURRENT_USER "Software\Tarnwick\Veyrith", starts the
// tool with "<switch> <digest>" (the digest of the exact bytes stored, see
// common/request_digest.h), waits up to 10 s and reads the exit code
// (nonzero = success). Everything runs on the user-interface thread, which
// shows the wait cursor and does nothing else while the tool runs.
#pragma once

#include <windows.h>

#include <string>

#include "findings/findings.h"

// The folder that holds veyrith_configure.exe, with a trailing backslash.
// The main frame sets it once to the program folder; until then it is the
// folder of the running executable. A folder without a trailing backslash
// gets one.
void SetToolFolder(const std::string& programFolder);
// The tool's full path: the tool folder + "veyrith_configure.exe".
std::string ToolPath();

// Starts program with the parameter string and show command, waits for it
// at most 10000 ms and returns its exit code; 0 when it could not be started
// (after an "Error <code>" box), when it ran too long (it is left running),
// or when its exit code cannot be read. The process handle is always closed.
DWORD RunTool(const std::string& program, const std::string& parameters, int show);

// True when a path fits the 260-byte path field of a request: at most 259
// characters. A call given a longer path shows "The path is too long..." with
// the stop icon, stores nothing, starts nothing and fails.
bool FitsToolRequest(const char* path);

// Ends process processId (-kill). The tool's exit code; nonzero = ended.
DWORD ToolKill(DWORD processId);
// Ends process processId and then deletes filePath (-kill_del). The tool's
// exit code; nonzero = both done.
DWORD ToolKillAndDelete(const char* filePath, DWORD processId);
// Registers filePath for deletion at the next system start (-move_reboot).
bool ToolDeleteAtReboot(const char* filePath);
// Moves source to newPath; fails when newPath exists (-move).
bool ToolMove(const char* source, const char* newPath);
// Copies source to destination, replacing it (-copy).
bool ToolCopy(const char* source, const char* destination);
// Stores the record's whole autorun entry (656 bytes) whatever its kind; the
// tool is started (-reg_autorun) only for kinds 1 (registry value) and 2
// (shortcut file). The tool's exit code for those, 0 for the other kinds.
DWORD ToolRemoveAutoRun(const CListItemState& record);
// Shows the Properties sheet of filePath through the tool (-info), owned by
// owner; does not wait: the tool stays alive while the sheet is open.
void ToolShowProperties(HWND owner, const char* filePath);
