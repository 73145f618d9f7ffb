#include "findings/bounded_copy.h"

#include <cwchar>

bool CopyWhole(wchar_t* dest, const std::wstring& source, size_t maxChars) {
    dest[0] = L'\0';
    if (source.size() > maxChars || source.find(L'\0') != std::wstring::npos) return false;
    wmemcpy(dest, source.c_str(), source.size() + 1);
    return true;
}

void CopyBounded(wchar_t* dest, const std::wstring& source, size_t maxChars) {
    size_t length = source.size() < maxChars ? source.size() : maxChars;
    wmemcpy(dest, source.data(), length);
    dest[length] = L'\0';
}
