// The program group: a folder of shortcuts directly under a Programs menu.
#pragma once

#include <windows.h>

#include <string>

namespace uninstall {

// True when name is a single, non-empty folder name that stays directly under
// the folder it is joined to: no separators, no drive, no wildcards, and not
// "." or ".." or any other name that the system shortens to nothing (it drops
// trailing dots and spaces).
bool IsPlainFolderName(const std::string& name);

// Deletes the folder group under the Programs menu named by csidl
// (CSIDL_PROGRAMS or CSIDL_COMMON_PROGRAMS) with all its contents, without
// confirmation, progress or error display. The result is not checked; a name
// that is not a plain folder name is never touched.
void DeleteGroupUnder(int csidl, const std::string& group);

}  // namespace uninstall
