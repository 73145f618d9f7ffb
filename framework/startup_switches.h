// The program's command line as the standard parser reads it: switches
// start with '/' or '-', the first other word is a file name.
#pragma once

#include <string>

namespace fw {

struct CommandLineInfo {
    bool bShowSplash = true;    // false when started by COM (embedded or automated)
    bool bRunEmbedded = false;  // "/Embedding"
    bool bRunAutomated = false; // "/Automation"
    std::string fileName;       // first parameter that is not a switch
};

// Parses the parameters (the command line without the program name).
CommandLineInfo ParseCommandLine(const char* parameters);
// The parameters of a whole command line such as GetCommandLineA gives.
const char* SkipProgramName(const char* commandLine);

}  // namespace fw
