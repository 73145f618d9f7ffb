#include "tool_switch.h"

#include "common/request_digest.h"

#include <cstring>

namespace {

struct SwitchName {
    const char* text;
    ToolSwitch value;
};

const SwitchName kSwitches[] = {
    {"-kill", ToolSwitch::Kill},
    {"-kill_del", ToolSwitch::KillDelete},
    {"-move_reboot", ToolSwitch::MoveReboot},
    {"-move", ToolSwitch::Move},
    {"-copy", ToolSwitch::Copy},
    {"-delete_copy", ToolSwitch::DeleteCopy},
    {"-reg_autorun", ToolSwitch::RegAutorun},
    {"-info", ToolSwitch::Info},
};

bool IsBlank(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x01 && u <= 0x20;
}

bool IsBlank(wchar_t c) { return c >= 0x01 && c <= 0x20; }

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
    }
    return *a == *b;
}

bool IsLowerHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool IsDigestText(const char* text) {
    size_t length = std::strlen(text);
    if (length != kRequestDigestChars) return false;
    for (size_t i = 0; i < length; ++i) {
        if (!IsLowerHexDigit(text[i])) return false;
    }
    return true;
}

}  // namespace

namespace {

// What follows the program name (quoted or not) and the blanks after it.
template <typename Char>
const Char* AfterProgramName(const Char* commandLine) {
    const Char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    return p;
}

}  // namespace

const char* ParameterString(const char* commandLine) { return AfterProgramName(commandLine); }

bool AsciiParameterString(const wchar_t* commandLine, std::string& parameters) {
    parameters.clear();
    for (const wchar_t* p = AfterProgramName(commandLine); *p; ++p) {
        if (*p >= 0x80) return false;
        parameters += static_cast<char>(*p);
    }
    return true;
}

ToolSwitch MatchSwitch(const char* text) {
    for (const SwitchName& s : kSwitches) {
        if (EqualsIgnoringAsciiCase(text, s.text)) return s.value;
    }
    return ToolSwitch::None;
}

ToolCommand ParseToolCommand(const char* parameters) {
    ToolCommand command;
    const char* space = std::strchr(parameters, ' ');
    if (!space || !IsDigestText(space + 1)) return command;
    std::string switchText(parameters, space);
    command.which = MatchSwitch(switchText.c_str());
    if (command.which != ToolSwitch::None) command.digest = space + 1;
    return command;
}
