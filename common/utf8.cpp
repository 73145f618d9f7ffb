#include "common/utf8.h"

#include <windows.h>

namespace {

bool Convert(const std::wstring& text, DWORD flags, std::string& utf8) {
    utf8.clear();
    if (text.empty()) return true;
    int length = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(CP_UTF8, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    utf8.assign(static_cast<size_t>(bytes), '\0');
    return WideCharToMultiByte(CP_UTF8, flags, text.data(), length, &utf8[0], bytes, nullptr, nullptr) ==
           bytes;
}

}  // namespace

bool ToUtf8(const std::wstring& text, std::string& utf8) {
    if (Convert(text, WC_ERR_INVALID_CHARS, utf8)) return true;
    utf8.clear();
    return false;
}

bool FromUtf8(const std::string& utf8, std::wstring& text) {
    text.clear();
    if (utf8.empty()) return true;
    int length = static_cast<int>(utf8.size());
    int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (chars <= 0) return false;
    text.assign(static_cast<size_t>(chars), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, &text[0], chars) == chars)
        return true;
    text.clear();
    return false;
}

std::string ToUtf8ForDisplay(const std::wstring& text) {
    std::string utf8;
    Convert(text, 0, utf8);
    return utf8;
}
