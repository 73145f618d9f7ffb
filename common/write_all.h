// Writes a whole buffer to a file or pipe, going on after partial writes.
#pragma once

#include <windows.h>

#include <string>

// False when the system stops taking bytes before the end.
inline bool WriteAllBytes(HANDLE output, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD done = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - written);
        if (!WriteFile(output, bytes.data() + written, chunk, &done, nullptr) || done == 0) return false;
        written += done;
    }
    return true;
}
