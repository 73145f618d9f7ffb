// The whole autorun inventory and the display texts of the autorun kinds.
#include "autorun/autorun_sources.h"

#include "resources/resource.h"
#include "framework/string_resource.h"

#include <shlobj.h>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Longest display text of a kind.
constexpr size_t kTypeTextChars = 255;

}  // namespace

void CollectAutoRuns(CAutoRunArray& inventory) {
    inventory.clear();
    ReadRunKey(HKEY_LOCAL_MACHINE, kRunKey, inventory);
    ReadRunKey(HKEY_CURRENT_USER, kRunKey, inventory);
    ReadRunKey(HKEY_CURRENT_USER, kRunServicesKey, inventory);
    ReadRunKey(HKEY_LOCAL_MACHINE, kRunOnceKey, inventory);
    ReadRunKey(HKEY_CURRENT_USER, kRunOnceKey, inventory);
    ReadStartupFolder(inventory, CSIDL_STARTUP);
    ReadStartupFolder(inventory, CSIDL_ALTSTARTUP);
    ReadStartupFolder(inventory, CSIDL_COMMON_ALTSTARTUP);
    ReadStartupFolder(inventory, CSIDL_COMMON_STARTUP);
    ReadWinIni(inventory);
}

std::string AutoRunTypeText(int type) {
    UINT id = 0;
    switch (type) {
        case AUTORUN_NONE: id = IDS_AUTORUN_NONE; break;
        case AUTORUN_REGISTRY: id = IDS_AUTORUN_REGISTRY; break;
        case AUTORUN_SHORTCUT: id = IDS_AUTORUN_SHORTCUT; break;
        case AUTORUN_WININI: id = IDS_AUTORUN_WININI; break;
        default: return std::string();
    }
    return fw::LoadResString(id).substr(0, kTypeTextChars);
}
