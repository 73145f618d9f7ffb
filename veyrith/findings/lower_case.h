// Paths and module names are compared without regard to case: the lower-
// cased copy that both sides of such a comparison take.
#pragma once

#include <string>

// A lower-cased copy of an ANSI text (the system's case rules).
std::string LowerCase(const char* text);
