// What the progress windows of setup and uninstall do alike: they show
// which step runs while the work itself keeps the thread busy, and they
// fade out when they go.
#pragma once

#include <windows.h>

namespace installer {

// How long the installers' windows take to appear or to fade out.
constexpr DWORD kAnimationMs = 300;

// Puts the text (a string of the program) into the dialog's item and paints
// the item at once: the step that follows runs on this thread and lets no
// paint message through until it ends.
void ShowProgressText(HWND dialog, int itemId, UINT textId);

// Hides the window with a blend over kAnimationMs where the system has
// AnimateWindow (looked up by name); otherwise leaves it as it is.
void FadeOut(HWND window);

}  // namespace installer
