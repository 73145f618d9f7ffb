// The seven operations of veyrith_configure. Each returns the exit code:
// nonzero for success, 0 for failure.
#pragma once

#include "common/tool_request.h"

#include "command_line.h"

int EndProcess(DWORD processId, const wchar_t* fileToDelete);
int ScheduleDeleteAtReboot(const ToolRequest& request);
int MoveRequestedFile(const ToolRequest& request);
int CopyRequestedFile(const ToolRequest& request);
int RemoveAutorunEntry(const ToolRequest& request);
int ShowProperties(const ToolRequest& request);

// Runs the operation that the switch names.
int RunOperation(ToolSwitch which, const ToolRequest& request);

// The whole run: the command line names the switch and the digest; the
// operation runs only when the stored request has that digest and fits the
// switch. The exit code; 0 for anything refused.
int RunRequestedOperation(const wchar_t* commandLine);
