// The whole autorun inventory and the display texts of the autorun kinds.
#include "autorun/autorun_sources.h"

#include "common/autorun_places.h"

#include "resources/resource.h"
#include "common/string_resource.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

// Longest display text of a kind.
constexpr size_t kTypeTextChars = 255;

}  // namespace

void CollectAutoRuns(CAutoRunArray& inventory) {
    inventory.clear();
    for (size_t i = 0; i < kRunKeyPlaceCount; ++i)
        ReadRunKey(kRunKeyPlaces[i].root, kRunKeyPlaces[i].subkey, inventory);
    // One apartment for every folder: each folder's own initialisation is
    // then only counted, and COM is not torn down and set up per folder.
    HRESULT com = CoInitialize(nullptr);
    for (size_t i = 0; i < kStartupFolderCount; ++i) ReadStartupFolder(inventory, kStartupFolderIds[i]);
    if (SUCCEEDED(com)) CoUninitialize();
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

CAutoRunArray CollectAutoRunsWithCom() {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CAutoRunArray inventory;
    CollectAutoRuns(inventory);
    if (SUCCEEDED(com)) CoUninitialize();
    return inventory;
}

std::wstring AutoRunTypeText(int type) {
    UINT id = TypeTextId(type);
    return id ? LoadResString(id).substr(0, kTypeTextChars) : std::wstring();
}
