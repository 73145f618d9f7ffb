// Copies of texts into the fixed-size fields of the findings records.
#pragma once

#include <cstddef>
#include <string>

// Copies source into dest when it fits whole (at most maxChars characters)
// and terminates it; dest must hold maxChars + 1 characters. A longer text is
// not copied at all: dest is left empty and the result is false. A path or
// name cut short would name some other file, key or value.
bool CopyWhole(wchar_t* dest, const std::wstring& source, size_t maxChars);

// Copies at most maxChars characters of source and terminates it: for texts
// that no action uses as a name (a command line, a description).
void CopyBounded(wchar_t* dest, const std::wstring& source, size_t maxChars);

// Characters kept in the location and program fields: all of their 260 but
// the terminating zero, so that a path of 259 characters is kept whole.
constexpr size_t kAutoRunPathChars = 259;
// Characters kept in the value-name field.
constexpr size_t kAutoRunValueNameChars = 126;
