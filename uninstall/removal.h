// The removal steps of the second phase: program files, program group and
// the product's registry keys. Failures are gathered in the report; every
// step runs even when an earlier one failed.
#pragma once

#include <windows.h>

#include <string>

namespace uninstall {

constexpr char kProductKey[] = "Software\\Tarnwick\\Veyrith\\1.0";
constexpr char kProgramFolderValue[] = "Program Folder";
constexpr char kProgramGroupValue[] = "Program Group Name";

// One text of failure lines, each ending with CR LF, and the flag that any
// failure sets.
struct CUninstallReport {
    std::string m_strText;
    bool m_bError = false;
    void AddLine(const std::string& line);
};

// The installation values that setup wrote; null when the key cannot be
// opened (every read then fails and is reported).
HKEY OpenProductKey();

// Deletes the product files in a fixed order, then the program folder.
void RemoveProgramFiles(HKEY productKey, CUninstallReport& report);

// Deletes the program group from the current user's and the all-users'
// Programs menu.
void RemoveProgramGroup(HKEY productKey, CUninstallReport& report);

// Deletes "1.0" under "Software\Tarnwick\Veyrith" of root, then the product
// and the maker keys when nothing else is left under them. Failures are not
// reported.
void RemoveProductKeys(HKEY root);

}  // namespace uninstall
