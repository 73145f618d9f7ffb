// Restarting Windows at once, with the user's consent already given by the
// dialog that asked. The real desktop restarts through this; the actions ask
// their desktop, so that a test's restart never really happens.
#pragma once

// Enables the shutdown privilege of the own token and asks the system to
// restart. Nothing is checked or shown: a refused restart leaves the
// program running.
void RebootWindows();
