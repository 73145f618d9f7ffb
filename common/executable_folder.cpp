#include "common/executable_folder.h"

namespace {

// Long enough for any path the loader hands over.
constexpr DWORD kPathChars = 32768;

}  // namespace

std::wstring ExecutablePath() {
    std::wstring path(kPathChars, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, &path[0], kPathChars);
    // A truncated path (length == kPathChars) is not a path.
    if (length == 0 || length >= kPathChars) return std::wstring();
    path.resize(length);
    return path;
}

std::wstring ExecutableFolder() {
    std::wstring path = ExecutablePath();
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}
