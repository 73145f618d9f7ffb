// Parsing of veyrith_configure's command line: one switch and the digest of
// the request that veyrith stored for this launch, nothing else.
#pragma once

#include <string>

enum class ToolSwitch { None, Kill, KillDelete, MoveReboot, Move, Copy, DeleteCopy, RegAutorun, Info };

// What a launch asks for: the operation and the digest that the stored
// request must have. which is ToolSwitch::None for any other command line.
struct ToolCommand {
    ToolSwitch which = ToolSwitch::None;
    std::string digest;
};

// The parameter string: what follows the program name (quoted or not) and the
// blanks (0x01..0x20) after it, up to the end of the line, untrimmed.
const char* ParameterString(const char* commandLine);

// The parameter string of the program's own UTF-16 command line (whose
// program name may hold any character), as ASCII; false when it holds
// anything else, which no launch of veyrith's does.
bool AsciiParameterString(const wchar_t* commandLine, std::string& parameters);

// The first switch, in table order, that equals the whole text ignoring ASCII
// letter case; ToolSwitch::None when none does.
ToolSwitch MatchSwitch(const char* text);

// Exactly "<switch> <digest>": a switch in any letter case, one space, and
// 40 lower-case hexadecimal digits, with nothing before, between or after.
ToolCommand ParseToolCommand(const char* parameters);
