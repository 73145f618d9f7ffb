// Paths as the file system knows them. A name proves nothing: our own files
// are recognised by their full path in our own folder, system files by their
// folder and name, and two paths are the same file only when their full,
// long forms are equal without regard to case.
#pragma once

#include "common/executable_folder.h"

#include <windows.h>

#include <string>

// The full, long form of path: relative parts and "." and ".." resolved,
// short (8.3) names replaced where the file exists. Empty when the path is
// empty or cannot be made full.
std::wstring CanonicalPath(const wchar_t* path);

// True when both name the same file by their canonical forms.
bool IsSamePath(const wchar_t* first, const wchar_t* second);
inline bool IsSamePath(const std::wstring& first, const std::wstring& second) {
    return IsSamePath(first.c_str(), second.c_str());
}

// True when path is the file named name directly in folder (folder with or
// without its trailing backslash); whole names and folders, never parts.
bool IsFileInFolder(const wchar_t* path, const std::wstring& folder, const wchar_t* name);

// The full path of the image a process runs, read through a handle with
// limited query rights (QueryFullProcessImageName; before Vista the process
// status library, loaded from System32 only). Empty when it cannot be read.
std::wstring ProcessImagePath(HANDLE process);

// True when this 32-bit process runs on a 64-bit system (IsWow64Process,
// looked up at run time: older systems lack it).
bool IsWow64System();

// The path under which this 32-bit program reaches the file that a 64-bit
// program knows as path. On a 64-bit system the system folder
// (%windir%\System32) of a 32-bit program is redirected to its 32-bit twin;
// the 64-bit files there are reached through %windir%\Sysnative. Any other
// path, and every path on a 32-bit system, is returned as it is.
std::wstring PathFor32BitAccess(const std::wstring& path);
