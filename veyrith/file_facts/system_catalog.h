// The system's catalogs of its own files: a file whose hash a catalog holds,
// under a signature that verifies, is a file the system installed.
#pragma once

#include <windows.h>

#include <string>

// True when the system keeps catalogs (Windows does, in CatRoot; Wine keeps
// none). Read once.
bool SystemHasCatalogs();

// True when one of the system's catalogs holds the file's hash and that
// catalog's signature verifies for it (no user interface, no revocation
// check over the network). The answer is kept per path for the life of the
// process.
bool IsInSystemCatalog(const std::wstring& path);

// The same for a file the caller has open (path names it): true when a
// catalog holds its hash (SHA-256 where the system has those catalogs, else
// or then SHA-1), with that catalog's answer for the file in status and, when
// it verifies, the name of the catalog's signer. Nothing is kept.
bool FindCatalogSignature(const std::wstring& path, HANDLE file, LONG& status, std::wstring& signer);
