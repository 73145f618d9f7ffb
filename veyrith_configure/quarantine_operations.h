// The quarantine as the tool keeps it: the folder "Quarantined" beside the
// tool, writable only by administrators, its index and the autorun record
// file. The tool alone makes copies there, restores and deletes them, and
// writes the index. Every path a request or a record names is used only when
// the file system resolves it as written (common/file_names.h).
#pragma once

#include <string>
#include <vector>

#include "common/tool_request.h"

// The quarantine folder beside the tool, without a trailing backslash.
std::wstring ToolQuarantineFolder();

// Makes the quarantine folder when it is missing; true when it is a real
// folder (no junction) closed to everyone but administrators and SYSTEM.
bool PrepareQuarantineFolder();

// -copy: backs request.path up as request.target, which must be a free name
// directly in the quarantine folder; the copy is written under a partial
// name, compared byte for byte, closed to everyone but administrators and
// SYSTEM, renamed, and recorded. Partial copies of interrupted backups go
// first.
int CopyIntoQuarantine(const ToolRequest& request);

// The same backup under a name the tool picks: the file's own name when it is
// free, else the first free "stem[n].ext" from n = 2 on. copy gets the
// copy's path.
bool BackUpUnderFreeName(const std::wstring& path, std::wstring& copy);

// -move: moves the recorded copy request.path back to request.target, the
// origin its record names, when nothing stands there, into the origin's
// folder held open and checked (folder_move.h); drops the record.
int RestoreFromQuarantine(const ToolRequest& request);

// -delete_copy: deletes the recorded copy request.path through one handle
// and drops its record.
int DeleteFromQuarantine(const ToolRequest& request);

// The recorded copies of path that hold its bytes now: the proof that a
// deletion can be undone. Empty when there is none.
std::vector<std::wstring> BackupsOf(const std::wstring& path);
