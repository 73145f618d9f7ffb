// Reading the uninstaller's command line.
#pragma once

#include <string>

namespace uninstall {

// The program's path: the first word of the command line, without the quotes
// around it when it is quoted.
std::string ProgramPathOf(const char* commandLine);

// True when the command line holds anything after the program's path: the
// temporary copy, which does the removal.
bool HasArgument(const char* commandLine);

}  // namespace uninstall
