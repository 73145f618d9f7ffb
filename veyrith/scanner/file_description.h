// The FileDescription string of a file's version information.
#pragma once

#include <string>

// The description in the file's first language and code page, in UTF-16;
// empty when the file has no version information or no description. At
// most 1023 characters.
std::wstring GetFileDescription(const wchar_t* path);
