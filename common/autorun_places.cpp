#include "common/autorun_places.h"

#include <shlobj.h>

#include <cwchar>

#include "common/path_identity.h"

const RunKeyPlace kRunKeyPlaces[] = {
    {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
    {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
};
const size_t kRunKeyPlaceCount = sizeof(kRunKeyPlaces) / sizeof(kRunKeyPlaces[0]);

const int kStartupFolderIds[] = {CSIDL_STARTUP, CSIDL_ALTSTARTUP, CSIDL_COMMON_ALTSTARTUP,
                                 CSIDL_COMMON_STARTUP};
const size_t kStartupFolderCount = sizeof(kStartupFolderIds) / sizeof(kStartupFolderIds[0]);

bool IsRunKeyPlace(HKEY root, const wchar_t* subkey) {
    for (const RunKeyPlace& place : kRunKeyPlaces) {
        if (place.root == root && !lstrcmpiW(place.subkey, subkey)) return true;
    }
    return false;
}

namespace {

bool HasShortcutExtension(const wchar_t* path) {
    size_t length = wcslen(path);
    return length > 4 && !lstrcmpiW(path + length - 4, L".lnk");
}

const wchar_t* FileNamePart(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/') name = p + 1;
    }
    return name;
}

}  // namespace

bool IsStartupShortcutPlace(const wchar_t* path) {
    if (!path || !HasShortcutExtension(path)) return false;
    for (size_t i = 0; i < kStartupFolderCount; ++i) {
        wchar_t folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, kStartupFolderIds[i], nullptr, SHGFP_TYPE_CURRENT, folder)))
            continue;
        if (IsFileInFolder(path, folder, FileNamePart(path))) return true;
    }
    return false;
}
