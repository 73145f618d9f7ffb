#include "scanner/folder_relation.h"

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

bool SameFolderOfLongPaths(const char* moduleLong, const char* exeLong) {
    char moduleFolder[MAX_PATH];
    char exeFolder[MAX_PATH];
    lstrcpynA(moduleFolder, moduleLong, MAX_PATH);
    lstrcpynA(exeFolder, exeLong, MAX_PATH);
    CutToFolder(moduleFolder);
    CutToFolder(exeFolder);
    return lstrcmpiA(moduleFolder, exeFolder) == 0;
}

int DepthOfLongPaths(const char* moduleLong, const char* exeLong) {
    char prefix[MAX_PATH + 1] = {};
    if (PathCommonPrefixA(moduleLong, exeLong, prefix) == 0 || prefix[0] == 0) return 0;
    PathAddBackslashA(prefix);
    return static_cast<int>(std::count(prefix, prefix + strlen(prefix), '\\'));
}

}  // namespace

bool IsSameFolder(const char* modulePath, const char* exePath) {
    char moduleLong[MAX_PATH];
    char exeLong[MAX_PATH];
    LongPath(modulePath, moduleLong);
    LongPath(exePath, exeLong);
    return SameFolderOfLongPaths(moduleLong, exeLong);
}

int CommonFolderDepth(const char* modulePath, const char* exePath) {
    char moduleLong[MAX_PATH];
    char exeLong[MAX_PATH];
    LongPath(modulePath, moduleLong);
    LongPath(exePath, exeLong);
    return DepthOfLongPaths(moduleLong, exeLong);
}

bool SharesFolder(const char* modulePath, const char* exePath) {
    char moduleLong[MAX_PATH];
    char exeLong[MAX_PATH];
    LongPath(modulePath, moduleLong);
    LongPath(exePath, exeLong);
    return SameFolderOfLongPaths(moduleLong, exeLong) ||
           DepthOfLongPaths(moduleLong, exeLong) >= kSharedDepth;
}
