#include "scanner/file_description.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {
constexpr int kDescriptionChars = 1024;
}

std::string GetFileDescription(const char* path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return std::string();
    std::vector<BYTE> info(size, 0);
    if (!GetFileVersionInfoA(path, 0, size, info.data())) return std::string();

    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return std::string();

    char query[64];
    snprintf(query, sizeof(query), "\\StringFileInfo\\%04X%04X\\FileDescription", translation[0],
             translation[1]);
    char* text = nullptr;
    if (!VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&text), &length) || !text)
        return std::string();
    char description[kDescriptionChars] = {};
    lstrcpynA(description, text, kDescriptionChars);
    return description;
}
