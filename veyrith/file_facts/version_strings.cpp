#include "file_facts/version_strings.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "file_facts/displayable_text.h"

namespace {

// The block of the first translation, as "\StringFileInfo\LLLLCCCC\".
std::wstring StringBlock(std::vector<BYTE>& info) {
    WORD* translation = nullptr;
    UINT length = 0;
    wchar_t block[64] = L"\\StringFileInfo\\040904B0\\";
    if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                       &length) &&
        translation && length >= 2 * sizeof(WORD))
        swprintf(block, 64, L"\\StringFileInfo\\%04X%04X\\", translation[0], translation[1]);
    return block;
}

// A value that lies wholly inside the resource's copy, up to its first null.
std::wstring QueryString(std::vector<BYTE>& info, const std::wstring& query) {
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) || !text)
        return std::wstring();
    const BYTE* at = reinterpret_cast<const BYTE*>(text);
    const BYTE* end = info.data() + info.size();
    if (at < info.data() || at >= end) return std::wstring();
    size_t room = static_cast<size_t>(end - at) / sizeof(wchar_t);
    size_t chars = 0;
    while (chars < room && chars < length && text[chars]) ++chars;
    return DisplayableText(std::wstring(text, chars), kVersionStringChars);
}

}  // namespace

VersionStrings ReadVersionStrings(const std::wstring& path) {
    VersionStrings strings;
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &unused);
    if (size == 0) return strings;
    std::vector<BYTE> info(size, 0);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return strings;
    std::wstring block = StringBlock(info);
    strings.company = QueryString(info, block + L"CompanyName");
    strings.version = QueryString(info, block + L"FileVersion");
    return strings;
}
