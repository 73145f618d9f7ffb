// The maker and the version that a file's version resource states. Both are
// the maker's own words: a module can name any company.
#pragma once

#include <string>

struct VersionStrings {
    std::wstring company;  // CompanyName; empty when absent
    std::wstring version;  // FileVersion; empty when absent
};

// Characters kept of each string.
constexpr size_t kVersionStringChars = 256;

// The strings of the file's first translation (040904B0 when it lists
// none), read as data (GetFileVersionInfoW) and bounded by the resource:
// a string that runs past its block, or is not there, is empty.
VersionStrings ReadVersionStrings(const std::wstring& path);
