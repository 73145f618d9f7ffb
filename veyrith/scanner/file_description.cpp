#include "scanner/file_description.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace {
constexpr int kDescriptionChars = 1024;
}

std::wstring GetFileDescription(const wchar_t* path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return std::wstring();
    std::vector<BYTE> info(size, 0);
    if (!GetFileVersionInfoW(path, 0, size, info.data())) return std::wstring();

    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        length < 2 * sizeof(WORD))
        return std::wstring();

    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04X%04X\\FileDescription", translation[0], translation[1]);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(info.data(), query, reinterpret_cast<void**>(&text), &length) || !text)
        return std::wstring();
    wchar_t description[kDescriptionChars] = {};
    lstrcpynW(description, text, kDescriptionChars);
    return description;
}
