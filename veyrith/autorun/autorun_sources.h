// The autorun inventory: programs that Windows starts by itself at log-on,
// from the Run keys, the Startup folders and win.ini. Read-only. Every name
// is read in UTF-16 and kept as the system gave it.
#pragma once

#include "findings/autorun_lookup.h"
#include "findings/findings.h"

#include <string>

// Empties the inventory and reads every source, in a fixed order: the Run
// keys, the Startup folders, win.ini. The lookup takes the first match, so
// this order decides which entry a process gets.
void CollectAutoRuns(CAutoRunArray& inventory);

// The whole inventory read on a thread that has not set COM up: COM is
// initialised for the Startup-folder shortcuts and released again.
CAutoRunArray CollectAutoRunsWithCom();

// Appends the REG_SZ values of one Run-type key.
void ReadRunKey(HKEY root, const wchar_t* subkey, CAutoRunArray& inventory);

// Looks a program name up under App Paths of one root.
bool FindAppPath(HKEY root, const wchar_t* programName, std::wstring& path);

// Appends the shortcuts of one Startup folder (a CSIDL value) whose targets
// exist.
void ReadStartupFolder(CAutoRunArray& inventory, int folderId);

// Target of a shortcut file in its short form; empty on failure (also when
// the target does not exist). Never shows a dialog and gives up on a target
// it cannot find within a short time. The caller has initialised COM on this
// thread.
HRESULT ResolveShortcut(const wchar_t* linkPath, std::wstring& target);

// Appends the "load" and "run" entries of win.ini.
void ReadWinIni(CAutoRunArray& inventory);

// Display text of an autorun kind; empty for an unknown kind.
std::wstring AutoRunTypeText(int type);
