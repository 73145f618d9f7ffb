#include "uninstall/texts.h"

namespace uninstall {

std::wstring LoadText(UINT id) {
    // Without a buffer, LoadStringW hands out a pointer to the resource text.
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace uninstall
