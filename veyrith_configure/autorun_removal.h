// -reg_autorun: removes one autorun entry that the inventory found, and
// keeps what it removed so that it can be put back. Kind 1, a value of a Run
// key: its root, view, key, name, type and data go into the autorun record
// file (common/autorun_backup.h) first. Kind 2, a Startup shortcut: the
// shortcut is backed up as a quarantined copy first. When that cannot be
// done, nothing is removed.
#pragma once

#include "common/tool_request.h"

// Kind (request.id) 1: value valueName directly under the Run key path of
// rootKey (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE) in registry view; the
// key is opened one part at a time, and a part that is a registry link is
// refused. Kind 2: the shortcut path directly in a Startup folder, deleted
// through one handle when its bytes are the copy's. The exit code: 1 when
// removed, 0 for anything refused; 1 for every other kind, which is left to
// the user.
int RemoveAutorunEntry(const ToolRequest& request);
