// The command line of veyrith_scan.
#pragma once

#include <string>

struct ScanOptions {
    bool help = false;
    // Where the JSON document goes ("-": standard output); empty for none.
    std::wstring jsonPath;
    // Where the HTML report goes ("-": standard output); empty for none.
    std::wstring htmlPath;
};

// Reads the arguments after the program's name. False for an unknown
// argument, a missing or empty file name, or an option given twice; wrong
// then holds the argument at fault.
bool ParseScanArguments(int count, const wchar_t* const* args, ScanOptions& options, std::wstring& wrong);
