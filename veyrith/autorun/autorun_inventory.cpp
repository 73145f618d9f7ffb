// The whole autorun inventory and the display texts of the autorun kinds.
#include "autorun/autorun_sources.h"

#include "findings/autorun_places.h"

#include "resources/resource.h"
#include "framework/string_resource.h"

#include <shlobj.h>

namespace {

// Longest display text of a kind.
constexpr size_t kTypeTextChars = 255;

}  // namespace

void CollectAutoRuns(CAutoRunArray& inventory) {
    inventory.clear();
    for (size_t i = 0; i < kRunKeyPlaceCount; ++i)
        ReadRunKey(kRunKeyPlaces[i].root, kRunKeyPlaces[i].subkey, inventory);
    for (size_t i = 0; i < kStartupFolderCount; ++i) ReadStartupFolder(inventory, kStartupFolderIds[i]);
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
