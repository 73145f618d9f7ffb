// The system's catalogs of its own files: a file whose hash a catalog holds,
// under a signature that verifies, is a file the system installed.
#pragma once

#include <string>

// True when the system keeps catalogs (Windows does, in CatRoot; Wine keeps
// none). Read once.
bool SystemHasCatalogs();

// True when one of the system's catalogs holds the file's hash and that
// catalog's signature verifies for it (no user interface, no revocation
// check over the network). The answer is kept per path for the life of the
// process.
bool IsInSystemCatalog(const std::wstring& path);
