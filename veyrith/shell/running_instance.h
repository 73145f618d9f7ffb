// The instance of this program that already runs in the session, if any.
// The single-instance mutex only hints at one: any program can hold a mutex
// of that name, so a start hands over only to a window that is really ours.
#pragma once

#include <windows.h>

// True when a main window of this program exists whose process runs this
// very executable. A window may still be on its way when another start has
// just taken the mutex: it is looked for until waitMs has passed.
bool IsOwnInstanceRunning(DWORD waitMs);
