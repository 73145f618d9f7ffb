// The running executable's own file and folder: where the programs of the
// product find the files that ship beside them, and how they recognise
// their own file. The one place that reads them; the command line is never
// asked, since its starter chooses its first word.
#pragma once

#include <windows.h>

#include <string>

// The full path of the running executable, in UTF-16 (the folder may hold
// any name); empty when it cannot be read whole.
std::wstring ExecutablePath();

// The folder of the running executable with its trailing backslash; empty
// when its path cannot be read whole.
std::wstring ExecutableFolder();
