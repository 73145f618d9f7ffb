#include "scanner/folder_relation.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "findings/lower_case.h"

std::wstring LongPathOf(const wchar_t* path) {
    DWORD chars = GetLongPathNameW(path, nullptr, 0);
    if (chars == 0) return path;
    std::vector<wchar_t> buffer(chars + 1, L'\0');
    DWORD length = GetLongPathNameW(path, buffer.data(), chars + 1);
    if (length == 0 || length > chars) return path;
    return std::wstring(buffer.data(), length);
}

std::wstring FolderPartOf(const wchar_t* path) {
    const wchar_t* slash = wcsrchr(path, L'\\');
    return slash ? std::wstring(path, slash + 1) : std::wstring();
}

std::wstring WithLongFolder(const wchar_t* path, const std::wstring& longFolder) {
    const wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash) return path;
    std::wstring result = longFolder;
    if (result.empty() || result.back() != L'\\') result += L'\\';
    return result + (slash + 1);
}

namespace {

constexpr int kSharedDepth = 3;

// The path up to and with its last backslash: the folder.
std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash + 1);
}

bool SameFolderOfLongPaths(const std::wstring& moduleLong, const std::wstring& exeLong) {
    return SameText(FolderOf(moduleLong), FolderOf(exeLong));
}

// The common prefix is compared letter by letter without regard to case;
// it ends at the last backslash the two share.
int DepthOfLongPaths(const std::wstring& moduleLong, const std::wstring& exeLong) {
    size_t shared = 0;
    int depth = 0;
    size_t length = std::min(moduleLong.size(), exeLong.size());
    while (shared < length &&
           CompareStringOrdinal(&moduleLong[shared], 1, &exeLong[shared], 1, TRUE) == CSTR_EQUAL) {
        if (moduleLong[shared] == L'\\') ++depth;
        ++shared;
    }
    return depth;
}

}  // namespace

namespace {

std::wstring InLongFolder(const wchar_t* path) {
    return WithLongFolder(path, LongPathOf(FolderPartOf(path).c_str()));
}

}  // namespace

bool IsSameFolder(const wchar_t* modulePath, const wchar_t* exePath) {
    return SameFolderOfLongPaths(InLongFolder(modulePath), InLongFolder(exePath));
}

int CommonFolderDepth(const wchar_t* modulePath, const wchar_t* exePath) {
    return DepthOfLongPaths(InLongFolder(modulePath), InLongFolder(exePath));
}

bool SharesFolder(const wchar_t* modulePath, const wchar_t* exePath) {
    return SharesFolderOfLongPaths(InLongFolder(modulePath), InLongFolder(exePath));
}

bool SharesFolderOfLongPaths(const std::wstring& moduleLong, const std::wstring& exeLong) {
    return SameFolderOfLongPaths(moduleLong, exeLong) || DepthOfLongPaths(moduleLong, exeLong) >= kSharedDepth;
}
