#include "installer_shared/texts.h"

namespace installer {

std::wstring LoadText(UINT id) {
    // Without a buffer, LoadStringW hands out a pointer to the resource text.
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring FormatText(const std::wstring& pattern, const std::vector<std::wstring>& arguments) {
    std::wstring text;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        wchar_t c = pattern[i];
        wchar_t following = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (c == L'%' && following == L's') {
            if (next < arguments.size()) text += arguments[next++];
            ++i;
        } else if (c == L'%' && following == L'%') {
            text += L'%';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace installer
