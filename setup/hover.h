// The hover highlight of the setup program's buttons: the button under the
// mouse pointer is drawn with its text in grey, a push button also as the
// default button. Called on every tick of the welcome page's timer.
#pragma once

#include <windows.h>

// highlighted is the button drawn highlighted so far (null for none): it is
// restored once the pointer has left it, and then names the new one.
void UpdateButtonHighlight(HWND& highlighted);
