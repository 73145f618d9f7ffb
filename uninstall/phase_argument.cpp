#include "uninstall/phase_argument.h"

#include <cwchar>

namespace uninstall {
namespace {

// Where the program's path ends in the command line.
const wchar_t* EndOfProgramPath(const wchar_t* commandLine) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        const wchar_t* close = wcschr(p + 1, L'"');
        return close ? close + 1 : p + wcslen(p);
    }
    while (*p && *p != L' ' && *p != L'\t') ++p;
    return p;
}

}  // namespace

bool HasArgument(const wchar_t* commandLine) {
    const wchar_t* p = EndOfProgramPath(commandLine);
    while (*p == L' ' || *p == L'\t') ++p;
    return *p != L'\0';
}

}  // namespace uninstall
