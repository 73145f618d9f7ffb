// The program's command line as the standard parser reads it: switches
// start with L'/' or L'-', the first other word is a file name.
#pragma once

#include <string>

namespace fw {

struct CommandLineInfo {
    bool bShowSplash = true;    // false when started by COM (embedded or automated)
    bool bRunEmbedded = false;  // L"/Embedding"
    bool bRunAutomated = false; // L"/Automation"
    std::wstring fileName;       // first parameter that is not a switch
};

// Parses the parameters (the command line without the program name).
CommandLineInfo ParseCommandLine(const wchar_t* parameters);
// The parameters of a whole command line such as GetCommandLineW gives.
const wchar_t* SkipProgramName(const wchar_t* commandLine);

}  // namespace fw
