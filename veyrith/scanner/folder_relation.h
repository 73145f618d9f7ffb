// How a module's folder relates to a process's folder. Both tests work on the
// long forms of the paths' folders (UTF-16, compared without regard to case
// as the file system compares names); a folder whose long form cannot be had
// (one that no longer exists) is taken as given. The file names take no part
// in either test, so they are never looked up: under Wine the long form of a
// file's own name lists its whole folder (System32 holds thousands).
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

// The long form of a path; the path as given when it has none.
std::wstring LongPathOf(const wchar_t* path);

// The folder of a path with its trailing backslash; empty for a bare name.
std::wstring FolderPartOf(const wchar_t* path);

// The path with its folder replaced by longFolder (the long form of that
// folder) and its file name as given. A caller that relates many paths
// takes each folder's long form once and builds the paths with this.
std::wstring WithLongFolder(const wchar_t* path, const std::wstring& longFolder);

// SharesFolder for paths whose folders are in their long form already.
bool SharesFolderOfLongPaths(const std::wstring& moduleLong, const std::wstring& exeLong);
