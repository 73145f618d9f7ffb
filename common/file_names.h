// Names as the file system resolves them. Windows opens some names as
// another file or as no file at all: it drops trailing dots and spaces
// ("index.dat." is index.dat), reads what follows a ":" as a stream of the
// file before it, opens a device for CON, NUL, COM1 and the like (with any
// extension), and finds a file by its short (8.3) alias as well as by its
// name. A name that a request or a record hands over is used only when it
// is none of these, so the name that is checked is the file that is acted on.
#pragma once

#include <string>

// True for one name (no separator) that the file system keeps as it is
// written: not empty, no "." or "..", no control character, none of
// \ / : * ? " < > |, no trailing dot or space, no device name (CON, PRN,
// AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, with or without an extension)
// and nothing shaped like a short alias (at most eight characters ending in
// "~" and digits, an extension of at most three).
bool IsResolvedName(const std::wstring& name);

// True for a full path "X:\name\name..." whose every name is resolved in
// that sense, and which is its own full, long form (no short names, no "."
// or ".." parts, nothing the system would rewrite).
bool IsResolvedPath(const std::wstring& path);
