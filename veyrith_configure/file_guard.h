// What the tool checks on every file it touches. It runs with an
// administrator's rights for whatever program wrote its request, so it acts
// on a file only through a handle whose final path is the place it checked
// (a junction swapped into the path in between would show there), never on a
// file that Windows protects, and leaves its own copies readable only by
// administrators and SYSTEM.
#pragma once

#include "common/owners.h"

#include <windows.h>

#include <string>

// Opens an existing file or folder, sharing it with everyone; an empty owner
// when it cannot be opened.
CHandle OpenShared(const std::wstring& path, DWORD access);

// True when the open file's final path is expected (where the system can
// tell a handle's final path; elsewhere the path checks stand alone).
bool FinalPathIs(HANDLE file, const std::wstring& expected);

// Opens path and checks that its handle ends where the path says.
bool OpensWhereItSays(const std::wstring& path, DWORD access, CHandle& file);

// Deletes the file through a handle whose final path is path.
bool DeleteThroughHandle(const std::wstring& path);

// True when Windows protects the file (SfcIsFileProtected, where there is one).
bool IsSystemProtectedFile(const std::wstring& path);

// True when both files exist and hold the same bytes.
bool SameBytes(const std::wstring& first, const std::wstring& second);

// The security descriptor of the quarantine and its copies: a protected
// DACL that gives full control to SYSTEM and the Administrators, inherited
// by what the folder holds.
extern const wchar_t kAdministratorsOnlySddl[];
// Sets that descriptor on a file or folder.
bool RestrictToAdministrators(const std::wstring& path);

// True for a folder that is a reparse point (a junction or link).
bool IsReparsePoint(const std::wstring& path);
