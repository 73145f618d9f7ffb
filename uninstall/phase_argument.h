// Reading the uninstaller's command line.
#pragma once

namespace uninstall {

// True when the command line holds anything after the program's path (the
// first word, or the quoted text at its start): the copy in the work
// folder, which does the removal.
bool HasArgument(const wchar_t* commandLine);

}  // namespace uninstall
