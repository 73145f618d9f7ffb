// Parsing of veyrith_configure's command line: one switch, nothing else.
#pragma once

enum class ToolSwitch { None, Kill, KillDelete, MoveReboot, Move, Copy, RegAutorun, Info };

// The parameter string: what follows the program name (quoted or not) and the
// blanks (0x01..0x20) after it, up to the end of the line, untrimmed.
const char* ParameterString(const char* commandLine);

// The first switch, in table order, that equals the whole parameter string
// ignoring ASCII letter case; ToolSwitch::None when none does.
ToolSwitch MatchSwitch(const char* parameters);
