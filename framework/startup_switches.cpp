#include "framework/startup_switches.h"

#include <windows.h>

#include <vector>

namespace fw {

namespace {

// Splits parameters into words; double quotes group blanks into a word.
std::vector<std::wstring> SplitWords(const wchar_t* text) {
    std::vector<std::wstring> words;
    const wchar_t* p = text;
    for (;;) {
        while (*p == L' ' || *p == L'\t') ++p;
        if (!*p) break;
        std::wstring word;
        bool quoted = false;
        while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
            if (*p == L'"')
                quoted = !quoted;
            else
                word += *p;
            ++p;
        }
        words.push_back(word);
    }
    return words;
}

void ApplySwitch(const std::wstring& name, CommandLineInfo& info) {
    if (lstrcmpiW(name.c_str(), L"Embedding") == 0) {
        info.bRunEmbedded = true;
        info.bShowSplash = false;
    } else if (lstrcmpiW(name.c_str(), L"Automation") == 0) {
        info.bRunAutomated = true;
        info.bShowSplash = false;
    }
}

}  // namespace

CommandLineInfo ParseCommandLine(const wchar_t* parameters) {
    CommandLineInfo info;
    for (const std::wstring& word : SplitWords(parameters ? parameters : L"")) {
        if (word.size() > 1 && (word[0] == L'/' || word[0] == L'-'))
            ApplySwitch(word.substr(1), info);
        else if (info.fileName.empty())
            info.fileName = word;
    }
    return info;
}

const wchar_t* SkipProgramName(const wchar_t* commandLine) {
    const wchar_t* p = commandLine ? commandLine : L"";
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

}  // namespace fw
