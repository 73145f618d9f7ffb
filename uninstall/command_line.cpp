#include "uninstall/command_line.h"

#include <cstring>

namespace uninstall {
namespace {

// Where the program's path ends in the command line.
const char* EndOfProgramPath(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        const char* close = strchr(p + 1, '"');
        return close ? close + 1 : p + strlen(p);
    }
    while (*p && *p != ' ' && *p != '\t') ++p;
    return p;
}

}  // namespace

std::string ProgramPathOf(const char* commandLine) {
    const char* end = EndOfProgramPath(commandLine);
    std::string path(commandLine, end);
    if (!path.empty() && path.front() == '"') path.erase(0, 1);
    if (!path.empty() && path.back() == '"') path.pop_back();
    return path;
}

bool HasArgument(const char* commandLine) {
    const char* p = EndOfProgramPath(commandLine);
    while (*p == ' ' || *p == '\t') ++p;
    return *p != '\0';
}

}  // namespace uninstall
