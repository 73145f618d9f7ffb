#include "findings/lower_case.h"

#include <windows.h>

std::wstring LowerCase(const wchar_t* text) {
    std::wstring lower(text);
    if (!lower.empty()) CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}
