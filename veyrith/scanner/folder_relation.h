// How a module's folder relates to a process's folder. Both tests work on the
// long forms of the paths; a path whose long form cannot be had (a file that
// no longer exists) is taken as given.
#pragma once

// True when both files lie in the same folder (compared without regard to case).
bool IsSameFolder(const char* modulePath, const char* exePath);

// Number of backslashes in the common folder prefix of the two paths (whole
// path components, with a trailing backslash); 0 when they share nothing.
int CommonFolderDepth(const char* modulePath, const char* exePath);

// The module and the executable count as living together: same folder, or a
// common prefix at least three folders deep.
bool SharesFolder(const char* modulePath, const char* exePath);
