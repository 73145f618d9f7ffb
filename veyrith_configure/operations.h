// The operations of veyrith_configure. Each returns the exit code: nonzero
// for success, 0 for failure or refusal. The tool decides for itself what it
// may do (docs/configure.md): any program of the user can write a request.
#pragma once

#include "common/tool_request.h"

#include "change_confirmation.h"
#include "tool_switch.h"

// Ends the process when it runs imagePath and is no critical process; with
// fileToDelete, only when that file has a backup and is not protected, and
// deletes it after the end.
int EndProcess(DWORD processId, const wchar_t* imagePath, const wchar_t* fileToDelete);
int ScheduleDeleteAtReboot(const ToolRequest& request);
int RemoveAutorunEntry(const ToolRequest& request);
int ShowProperties(const ToolRequest& request);

// Runs the operation that the switch names.
int RunOperation(ToolSwitch which, const ToolRequest& request);

// The whole run: the command line names the switch and the digest; the
// operation runs only when the stored request has that digest and fits the
// switch, and, for a switch that destroys anything, only after the user's
// OK. The exit code; 0 for anything refused or cancelled.
int RunRequestedOperation(const wchar_t* commandLine, CChangeConfirmation& confirmation);
