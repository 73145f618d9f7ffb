// The message loop of setup and uninstall: each runs one until its main
// window has gone, offering every message to its modeless dialog first so
// that the keyboard works there as in any dialog.
#pragma once

#include <windows.h>

#include <functional>

namespace installer {

// Sees each message before it is translated and dispatched; true when it
// took the message, which then goes no further.
using MessageFilter = std::function<bool(MSG& message)>;

// Runs this thread's messages until WM_QUIT (or until GetMessage fails).
void RunMessageLoop(const MessageFilter& filter);

}  // namespace installer
