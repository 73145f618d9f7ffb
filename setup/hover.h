// The hover highlight of the setup program's buttons: the button under the
// mouse pointer is drawn with its text in grey, a push button also as the
// default button. Called on every tick of the welcome page's timer.
#pragma once

void UpdateButtonHighlight();
