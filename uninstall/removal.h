// The removal steps of the second phase: program files, program group and
// the product's registry keys. Failures are gathered in the report; every
// step runs even when an earlier one failed, and each tells whether it did
// all of its work.
#pragma once

#include "common/owners.h"

#include <windows.h>

#include <string>
#include <vector>

namespace uninstall {

// One text of failure lines, each ending with CR LF, and the flag that any
// failure sets.
struct CUninstallReport {
    std::wstring m_strText;
    bool m_bError = false;
    void AddLine(const std::wstring& line);
    // The line of a failed system call: the text's pattern with the subjects
    // (a path, say) and then the system's text for the error in its "%s".
    void AddFailure(UINT textId, std::vector<std::wstring> subjects, DWORD error);
};

// The installation values that setup wrote; empty when the key cannot be
// opened (every read then fails and is reported).
CRegistryKey OpenProductKey();

// Reads the program folder into folder (empty when it is missing), ends a
// running scanner of that folder, then deletes the product files and the
// program folder. A scanner that does not end keeps every file: nothing is
// deleted under a running program. True when all of it is gone.
bool RemoveProgramFiles(HKEY productKey, std::wstring& folder, CUninstallReport& report);

// Deletes setup's shortcuts from the program group in the current user's
// and the all-users' Programs menu, and the group folders that are then
// empty. True when no shortcut of setup's is left.
bool RemoveProgramGroup(HKEY productKey, const std::wstring& programFolder, CUninstallReport& report);

// Deletes "1.0" under "Software\Tarnwick\Veyrith" of root, then the product
// and the maker keys when nothing else is left under them. True when "1.0"
// is gone; when it stays, that is reported.
bool RemoveProductKeys(HKEY root, CUninstallReport& report);

}  // namespace uninstall
