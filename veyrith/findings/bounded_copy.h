// Copies of texts into the fixed-size fields of the autorun record.
#pragma once

#include <cstddef>

// Copies at most maxChars characters of source into dest and terminates it;
// dest must hold maxChars + 1 characters. Longer texts are cut.
void CopyBounded(char* dest, const char* source, size_t maxChars);

// Characters kept in the location and program fields: all of their 260 but
// the terminating zero, so that a path of 259 characters is kept whole.
constexpr size_t kAutoRunPathChars = 259;
// Characters kept in the value-name field.
constexpr size_t kAutoRunValueNameChars = 126;
