// The steps of one run of the 64-bit companion: a window of its own that
// takes the foreground, the keyboard and window activity that makes the
// system load the modules of 64-bit system-wide hooks into it, and the
// census of the modules it recorded.
#pragma once

#include <windows.h>

#include <string>

#include "findings/probe_answer.h"

// A visible 1x1 tool window off the screen: it can take the foreground, and
// nothing of it shows. Null when it cannot be made.
HWND CreateProbeWindow(HINSTANCE instance);

// Brings window to the foreground and sends it F24 down and up twice, with
// messages pumped in between: a keyboard hook fires for the key, a
// get-message hook for the messages the window takes from its queue.
void ProvokeHooks(HWND window);

// The recorded modules still loaded (the self-test's aside), whether the
// self-test's module was recorded, and the census of every process with the
// autorun inventory of this moment.
ProbeAnswer TakeProbeCensus();

