// The places that Windows starts programs from at log-on and that the
// inventory reads: the Run-type keys and the Startup folders. An autorun
// fact that names any other place is not an autorun entry.
#pragma once

#include <windows.h>

#include <string>

struct RunKeyPlace {
    HKEY root;
    const wchar_t* subkey;
};

// The Run-type keys, in the order the inventory reads them.
extern const RunKeyPlace kRunKeyPlaces[];
extern const size_t kRunKeyPlaceCount;

// The Startup folders (CSIDL values), in the order the inventory reads them.
extern const int kStartupFolderIds[];
extern const size_t kStartupFolderCount;

// True when root and subkey name one of the Run-type keys (the subkey
// compared whole, without regard to case).
bool IsRunKeyPlace(HKEY root, const wchar_t* subkey);

// True when path is a shortcut (".lnk") directly in one of the Startup
// folders.
bool IsStartupShortcutPlace(const wchar_t* path);
