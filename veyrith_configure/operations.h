// The seven operations of veyrith_configure. Each returns the exit code:
// nonzero for success, 0 for failure.
#pragma once

#include "common/tool_request.h"

#include "command_line.h"

// Reads the stored request into a zero-filled buffer of kToolRequestBufferSize
// bytes. False when the key or value is missing or the value is too long.
bool ReadStoredRequest(unsigned char (&buffer)[kToolRequestBufferSize]);

int EndProcess(DWORD processId, const char* fileToDelete);
int ScheduleDeleteAtReboot(const ToolRequest& request);
int MoveRequestedFile(const ToolRequest& request);
int CopyRequestedFile(const ToolRequest& request);
int RemoveAutorunEntry(const ToolRequest& request);
int ShowProperties(const ToolRequest& request);

// Runs the operation that the switch names.
int RunOperation(ToolSwitch which, const ToolRequest& request);
