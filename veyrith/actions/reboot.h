// Restarting Windows at once, with the user's consent already given by the
// dialog that asked. Tests replace the restart: it must never really happen.
#pragma once

#include <functional>

// Runs instead of the restart while set; an empty hook restores the real one.
void SetRebootHook(std::function<void()> hook);

// Enables the shutdown privilege of the own token and asks the system to
// restart. Nothing is checked or shown: a refused restart leaves the
// program running.
void RebootWindows();
