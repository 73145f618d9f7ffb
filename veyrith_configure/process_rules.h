// Which processes the tool may end: only one that runs the image the request
// names, and never one the system cannot run without, one of Veyrith's own
// programs, the Windows shell, or a process of another user or session.
#pragma once

#include <windows.h>

#include <string>

// True for the processes Windows needs: the system process (ids 0 and 4),
// smss, csrss, wininit, winlogon, services and lsass from the system folder,
// and any process the system marks as critical.
bool IsCriticalProcess(DWORD processId, HANDLE process, const std::wstring& image);

// True for a process the tool never ends, whatever the request says: a
// critical one; one whose image lies in the tool's own folder or below it
// (Veyrith's programs, the tool itself); explorer.exe of the Windows folder;
// one whose token's user differs from the tool's, or that runs in another
// session. A process whose user or session cannot be read counts as
// another's. process needs limited query access.
bool IsOffLimits(DWORD processId, HANDLE process, const std::wstring& image);
