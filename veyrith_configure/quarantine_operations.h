// The quarantine as the tool keeps it: the folder "Quarantined" beside the
// tool, writable only by administrators, and its index. The tool alone makes
// copies there, restores and deletes them, and writes the index.
#pragma once

#include <string>

#include "common/tool_request.h"

// The quarantine folder beside the tool, without a trailing backslash.
std::wstring ToolQuarantineFolder();

// -copy: backs request.path up as request.target, which must be a free name
// directly in the quarantine folder; the copy is written under a partial
// name, compared byte for byte, closed to everyone but administrators and
// SYSTEM, renamed, and recorded. Partial copies of interrupted backups go
// first.
int CopyIntoQuarantine(const ToolRequest& request);

// -move: moves the recorded copy request.path back to request.target, the
// origin its record names, when nothing stands there; drops the record.
int RestoreFromQuarantine(const ToolRequest& request);

// -delete_copy: deletes the recorded copy request.path and drops its record.
int DeleteFromQuarantine(const ToolRequest& request);

// True when the quarantine holds a recorded copy of path with the same bytes:
// the proof that a deletion can be undone.
bool HasBackup(const std::wstring& path);
