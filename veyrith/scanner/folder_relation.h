// How a module's folder relates to a process's folder. Both tests work on the
// long forms of the paths (UTF-16, compared without regard to case as the
// file system compares names); a path whose long form cannot be had (a file
// that no longer exists) is taken as given.
#pragma once

#include <string>

// True when both files lie in the same folder.
bool IsSameFolder(const wchar_t* modulePath, const wchar_t* exePath);

// Number of backslashes in the common folder prefix of the two paths (whole
// path components, with a trailing backslash); 0 when they share nothing.
int CommonFolderDepth(const wchar_t* modulePath, const wchar_t* exePath);

// The module and the executable count as living together: same folder, or a
// common prefix at least three folders deep.
bool SharesFolder(const wchar_t* modulePath, const wchar_t* exePath);

// The long form of a path; the path as given when it has none. A caller
// that relates many paths takes each long form once with this and then
// relates the long forms.
std::wstring LongPathOf(const wchar_t* path);

// SharesFolder for paths that are in their long form already.
bool SharesFolderOfLongPaths(const std::wstring& moduleLong, const std::wstring& exeLong);
