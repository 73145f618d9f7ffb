// Blended fade-out of a window before it goes, where user32 offers it.
#pragma once

#include <windows.h>

// Hides the window with a 300 ms blend when the system has AnimateWindow;
// otherwise leaves it as it is.
void FadeOut(HWND window);
