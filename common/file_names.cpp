#include "common/file_names.h"

#include "common/path_identity.h"

#include <windows.h>

#include <cwchar>

namespace {

constexpr size_t kMaxNameChars = 255;
constexpr wchar_t kForbidden[] = L"\\/:*?\"<>|";

const wchar_t* const kDeviceNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
const wchar_t* const kNumberedDevices[] = {L"COM", L"LPT"};

wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsAsciiNoCase(const std::wstring& text, const wchar_t* word) {
    size_t length = std::wcslen(word);
    if (text.size() != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (UpperAscii(text[i]) != word[i]) return false;
    return true;
}

// The digits 1-9 and the superscripts 1, 2 and 3, which Windows also reads
// as port numbers.
bool IsPortDigit(wchar_t c) { return (c >= L'1' && c <= L'9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3; }

// What Windows compares with the device names: the name up to its first dot,
// without the spaces before that dot.
std::wstring DeviceStem(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    return stem;
}

bool IsDeviceName(const std::wstring& name) {
    const std::wstring stem = DeviceStem(name);
    for (const wchar_t* device : kDeviceNames)
        if (EqualsAsciiNoCase(stem, device)) return true;
    if (stem.size() != 4 || !IsPortDigit(stem[3])) return false;
    for (const wchar_t* device : kNumberedDevices)
        if (EqualsAsciiNoCase(stem.substr(0, 3), device)) return true;
    return false;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// "PROGRA~1", "LONGNA~2.TXT": a base of at most eight characters that ends
// in "~" and digits, at most one dot and an extension of at most three.
bool IsShortAliasShape(const std::wstring& name) {
    size_t dot = name.find(L'.');
    if (dot != std::wstring::npos && name.find(L'.', dot + 1) != std::wstring::npos) return false;
    const std::wstring base = name.substr(0, dot);
    size_t extension = dot == std::wstring::npos ? 0 : name.size() - dot - 1;
    if (base.empty() || base.size() > 8 || extension > 3) return false;
    size_t tilde = base.find_last_of(L'~');
    if (tilde == std::wstring::npos || tilde + 1 == base.size()) return false;
    for (size_t i = tilde + 1; i < base.size(); ++i)
        if (!IsDigit(base[i])) return false;
    return true;
}

bool HasForbiddenCharacter(const std::wstring& name) {
    for (wchar_t c : name)
        if (c < 0x20 || std::wcschr(kForbidden, c)) return true;
    return false;
}

bool IsDriveRoot(const std::wstring& path) {
    wchar_t letter = UpperAscii(path.size() >= 3 ? path[0] : L'\0');
    return letter >= L'A' && letter <= L'Z' && path[1] == L':' && path[2] == L'\\';
}

bool EqualNoCase(const std::wstring& first, const std::wstring& second) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, first.c_str(), static_cast<int>(first.size()),
                          second.c_str(), static_cast<int>(second.size())) == CSTR_EQUAL;
}

}  // namespace

bool IsResolvedName(const std::wstring& name) {
    if (name.empty() || name.size() > kMaxNameChars || HasForbiddenCharacter(name)) return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    return !IsDeviceName(name) && !IsShortAliasShape(name);
}

bool IsResolvedPath(const std::wstring& path) {
    if (!IsDriveRoot(path)) return false;
    for (size_t start = 3;;) {
        size_t end = path.find(L'\\', start);
        if (!IsResolvedName(path.substr(start, end == std::wstring::npos ? end : end - start))) return false;
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return EqualNoCase(CanonicalPath(path.c_str()), path);
}
