#include "folder_relation.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kSharedDepth = 3;

void LongPath(const char* path, char (&out)[MAX_PATH]) {
    DWORD length = GetLongPathNameA(path, out, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) lstrcpynA(out, path, MAX_PATH);
}

// Cuts the path after its last backslash: the folder with its backslash.
void CutToFolder(char* path) {
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = 0;
}

}  // namespace

bool IsSameFolder(const char* modulePath, const char* exePath) {
    char moduleFolder[MAX_PATH];
    char exeFolder[MAX_PATH];
    LongPath(modulePath, moduleFolder);
    LongPath(exePath, exeFolder);
    CutToFolder(moduleFolder);
    CutToFolder(exeFolder);
    return lstrcmpiA(moduleFolder, exeFolder) == 0;
}

int CommonFolderDepth(const char* modulePath, const char* exePath) {
    char moduleLong[MAX_PATH];
    char exeLong[MAX_PATH];
    LongPath(modulePath, moduleLong);
    LongPath(exePath, exeLong);
    char prefix[MAX_PATH + 1] = {};
    if (PathCommonPrefixA(moduleLong, exeLong, prefix) == 0 || prefix[0] == 0) return 0;
    PathAddBackslashA(prefix);
    return static_cast<int>(std::count(prefix, prefix + strlen(prefix), '\\'));
}

bool SharesFolder(const char* modulePath, const char* exePath) {
    return IsSameFolder(modulePath, exePath) || CommonFolderDepth(modulePath, exePath) >= kSharedDepth;
}
