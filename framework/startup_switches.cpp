#include "framework/startup_switches.h"

#include <windows.h>

#include <vector>

namespace fw {

namespace {

// Splits parameters into words; double quotes group blanks into a word.
std::vector<std::string> SplitWords(const char* text) {
    std::vector<std::string> words;
    const char* p = text;
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string word;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '"')
                quoted = !quoted;
            else
                word += *p;
            ++p;
        }
        words.push_back(word);
    }
    return words;
}

void ApplySwitch(const std::string& name, CommandLineInfo& info) {
    if (lstrcmpiA(name.c_str(), "Embedding") == 0) {
        info.bRunEmbedded = true;
        info.bShowSplash = false;
    } else if (lstrcmpiA(name.c_str(), "Automation") == 0) {
        info.bRunAutomated = true;
        info.bShowSplash = false;
    }
}

}  // namespace

CommandLineInfo ParseCommandLine(const char* parameters) {
    CommandLineInfo info;
    for (const std::string& word : SplitWords(parameters ? parameters : "")) {
        if (word.size() > 1 && (word[0] == '/' || word[0] == '-'))
            ApplySwitch(word.substr(1), info);
        else if (info.fileName.empty())
            info.fileName = word;
    }
    return info;
}

const char* SkipProgramName(const char* commandLine) {
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

}  // namespace fw
