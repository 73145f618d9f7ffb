#include "file_facts/displayable_text.h"

namespace {

bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// The marks, embeddings, overrides and isolates of bidirectional text.
bool IsDirectionMark(wchar_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::wstring DisplayableText(const std::wstring& text, size_t maxChars) {
    std::wstring clean;
    for (wchar_t c : text) {
        if (IsDirectionMark(c)) continue;
        clean += IsControl(c) ? L' ' : c;
    }
    size_t first = clean.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    clean = clean.substr(first, clean.find_last_not_of(L' ') - first + 1);
    if (clean.size() > maxChars) clean.resize(maxChars);
    // A cut must not leave the first half of a surrogate pair.
    if (!clean.empty() && clean.back() >= 0xD800 && clean.back() <= 0xDBFF) clean.pop_back();
    return clean;
}
