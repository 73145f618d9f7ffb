// What a user needs to know of a module or a host executable before acting
// on it: who signed it, its SHA-256 and what its version resource states.
#pragma once

#include <atomic>
#include <string>

#include "file_facts/file_signature.h"

struct FileFacts {
    FileSignature signature;
    std::wstring sha256;   // 64 lower-case hex digits; empty when the file could not be read
    std::wstring company;  // the version resource's CompanyName; empty when absent
    std::wstring version;  // its FileVersion; empty when absent
};

// The facts of the file at path, read now through one handle shared for
// reading, writing and deletion (never loaded as a module). A file that
// cannot be opened gives a signature NotChecked with the open's failure and
// no other fact.
FileFacts CheckFileFacts(const std::wstring& path);

// The same, stopping as soon as stop turns true (between two chunks of the
// hash, or between two facts): false then, and facts are incomplete.
bool CheckFileFacts(const std::wstring& path, FileFacts& facts, const std::atomic<bool>& stop);

// What a caller shows until the facts of a file land ("Checking...").
std::wstring CheckingText();
