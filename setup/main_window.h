// The full-screen background window of setup: it paints the product's
// banner, owns the wizard, asks before quitting and shows the About box.
#pragma once

#include <windows.h>

bool RegisterMainWindowClass();

// Creates the main window with the wizard in front of it and shows it
// without activating it. False when either could not be created.
bool CreateMainWindow();

// The gradient-fill function of msimg32.dll, or null to draw lines.
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
extern GradientFillFn g_pGradientFill;
