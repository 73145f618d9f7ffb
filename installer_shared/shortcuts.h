// The Start-menu shortcuts that setup makes in the program group and the
// uninstaller removes again: each one's name (a user text under the same
// string number in both programs' string tables, + ".lnk") and the file in
// the program folder that it opens.
#pragma once

#include <windows.h>

#include "common/product.h"

namespace installer {

constexpr UINT kShortcutProgramNameId = 2014;
constexpr UINT kShortcutHelpNameId = 2015;
constexpr UINT kShortcutUninstallNameId = 2016;

struct Shortcut {
    UINT nameId;
    const wchar_t* target;
};

constexpr Shortcut kShortcuts[] = {
    {kShortcutProgramNameId, kProgramFileNameW},
    {kShortcutHelpNameId, kHelpFileNameW},
    {kShortcutUninstallNameId, kUninstallFileNameW},
};

}  // namespace installer
