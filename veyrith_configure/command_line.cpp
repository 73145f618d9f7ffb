#include "command_line.h"

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
    {"-reg_autorun", ToolSwitch::RegAutorun},
    {"-info", ToolSwitch::Info},
};

bool IsBlank(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x01 && u <= 0x20;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
    }
    return *a == *b;
}

}  // namespace

const char* ParameterString(const char* commandLine) {
    const char* p = commandLine;
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

ToolSwitch MatchSwitch(const char* parameters) {
    for (const SwitchName& s : kSwitches) {
        if (EqualsIgnoringAsciiCase(parameters, s.text)) return s.value;
    }
    return ToolSwitch::None;
}
