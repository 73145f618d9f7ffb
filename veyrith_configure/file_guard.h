// What the tool checks on every file it touches. It runs with an
// administrator's rights for whatever program wrote its request, so it acts
// on a file only through a handle whose final path is the place it checked
// (a junction swapped into the path in between would show there), checks
// what it deletes through the handle that deletes it, never touches a file
// that Windows protects, and leaves its own copies readable only by
// administrators and SYSTEM.
#pragma once

#include "common/owners.h"
#include "common/quarantine_index.h"

#include <windows.h>

#include <string>
#include <vector>

// Opens an existing file or folder, sharing it with everyone; an empty owner
// when it cannot be opened.
CHandle OpenShared(const std::wstring& path, DWORD access);

// True when the open file's final path is expected (where the system can
// tell a handle's final path; elsewhere the path checks stand alone). A path
// by which this 32-bit program reaches a 64-bit program's system file
// (PathFor32BitAccess) ends where that file's own path does.
bool FinalPathIs(HANDLE file, const std::wstring& expected);

// Opens path and checks that its handle ends where the path says.
bool OpensWhereItSays(const std::wstring& path, DWORD access, CHandle& file);

// True when no part of path from the drive root down, path itself included,
// is a reparse point (a junction, a symbolic link, a mount point); a part
// that does not exist ends the walk, since nothing below it does either.
bool NoLinkOnTheWay(const std::wstring& path);

// Opens an existing plain file to delete it: read and delete access, shared
// for reading only, so that no one writes, renames or deletes it while the
// handle is held, and a link opened as the link. Empty unless the handle's
// final path is path and it is neither a folder nor a reparse point.
CHandle OpenToDelete(const std::wstring& path);

// True when both open files, read from their starts, hold the same bytes.
bool SameBytesThrough(HANDLE first, HANDLE second);

// True when the bytes read through file are those of the file at copy.
bool HoldsBytesOf(HANDLE file, const std::wstring& copy);

// Deletes the open file through its handle (FileDispositionInfo); the file
// goes when the owner, which the call empties, closes it.
bool DeleteOpenFile(CHandle& file);

// Deletes one of the tool's own files (a copy, a partial copy) through a
// handle whose final path is path.
bool DeleteThroughHandle(const std::wstring& path);

// Deletes path through one handle, and only when the bytes read through that
// handle are those of one of the copies: the file deleted is the file that
// was backed up, not one put in its place.
bool DeleteWhenBytesOf(const std::wstring& path, const std::vector<std::wstring>& copies);

// True when Windows protects the file (SfcIsFileProtected, where there is one).
bool IsSystemProtectedFile(const std::wstring& path);

// True when both files exist and hold the same bytes.
bool SameBytes(const std::wstring& first, const std::wstring& second);

// Sets the quarantine's descriptor (kAdministratorsOnlySddl) on a file or
// folder.
bool RestrictToAdministrators(const std::wstring& path);

// True for a file or folder that is a reparse point (a junction or link).
bool IsReparsePoint(const std::wstring& path);

// Renames the open file (opened with DELETE access) to name in the open
// folder, never over a file: the new place is the folder the handle holds,
// however its path has changed since it was opened. False with
// ERROR_NOT_SAME_DEVICE when the folder is on another volume.
bool RenameIntoFolder(HANDLE file, HANDLE folder, const std::wstring& name);
