// The program group: a folder of shortcuts directly under a Programs menu.
// Only the shortcuts that setup made are deleted, recognised by their name
// and their target in the program folder; the folder goes only when nothing
// else is left in it.
#pragma once

#include "uninstall/removal.h"

#include <string>

namespace uninstall {

// True when name is a single, non-empty folder name that stays directly under
// the folder it is joined to: no separators, no drive, no wildcards, and not
// "." or ".." or any other name that the system shortens to nothing (it drops
// trailing dots and spaces).
bool IsPlainFolderName(const std::wstring& name);

// Deletes setup's shortcuts from the group under the Programs menu named by
// csidl (CSIDL_PROGRAMS or CSIDL_COMMON_PROGRAMS), then the group folder when
// it is empty and is not the Startup folder. A shortcut of setup's that
// cannot be deleted is reported; false then. A group that is not there, or is
// a link to another folder, is left alone.
bool RemoveShortcutsUnder(int csidl, const std::wstring& group, const std::wstring& programFolder,
                          CUninstallReport& report);

}  // namespace uninstall
