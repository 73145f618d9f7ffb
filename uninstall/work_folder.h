// The work folder of the second phase. The first phase runs from the program
// folder, which the removal deletes, so the removal runs from a copy of the
// uninstaller. That copy runs with an administrator's rights: it lies in a
// fresh folder under the Windows folder's Temp that only administrators and
// SYSTEM can write (a protected access list that nothing inherits into), so
// that no program of a standard user can replace the copy, put a DLL beside
// it, or rename or swap the folder.
#pragma once

#include "common/owners.h"

#include <string>

namespace uninstall {

// The copy of the uninstaller in the work folder.
constexpr wchar_t kWorkCopyName[] = L"uninst.tmp";

// The security descriptor that the work folder gets: a protected access list
// that gives SYSTEM and the Administrators full control of the folder and of
// everything made in it, and nobody else anything. Empty when the system
// cannot make it.
CLocalMemory WorkFolderDescriptor();

// Creates a new work folder, under a name that no folder had, with the rules
// above. False when none could be made; the last error is then that of the
// call that failed.
bool CreateWorkFolder(std::wstring& folder);

// True when folder is a work folder: directly under the Windows folder's
// Temp, with the work folders' name.
bool IsWorkFolder(const std::wstring& folder);

// At the end of the second phase: the running copy cannot be deleted, but it
// can be moved; it moves beside the work folder and goes at the next start
// of Windows, and the then empty work folder is removed. Nothing happens when
// this program does not run from a work folder.
void LeaveWorkFolder();

}  // namespace uninstall
