// The whole autorun inventory and the display texts of the autorun kinds.
#include "autorun/autorun_sources.h"

#include "resources/resource.h"
#include "framework/string_resource.h"

#include <shlobj.h>

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunServicesKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

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

namespace {

UINT TypeTextId(int type) {
    switch (type) {
        case AUTORUN_NONE: return IDS_AUTORUN_NONE;
        case AUTORUN_REGISTRY: return IDS_AUTORUN_REGISTRY;
        case AUTORUN_SHORTCUT: return IDS_AUTORUN_SHORTCUT;
        case AUTORUN_WININI: return IDS_AUTORUN_WININI;
        default: return 0;
    }
}

}  // namespace

std::wstring AutoRunTypeText(int type) {
    UINT id = TypeTextId(type);
    return id ? fw::LoadResStringW(id).substr(0, kTypeTextChars) : std::wstring();
}
