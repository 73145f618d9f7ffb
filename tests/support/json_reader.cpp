#include "json_reader.h"

#include <windows.h>

#include <cstdlib>

namespace {

class Reader {
public:
    explicit Reader(const std::wstring& text) : m_text(text) {}

    bool Document(JsonValue& value) {
        if (!Value(value)) return false;
        SkipSpace();
        return m_at == m_text.size();
    }

private:
    void SkipSpace() {
        while (m_at < m_text.size() && wcschr(L" \t\r\n", m_text[m_at]) && m_text[m_at]) ++m_at;
    }

    bool Take(wchar_t c) {
        SkipSpace();
        if (m_at >= m_text.size() || m_text[m_at] != c) return false;
        ++m_at;
        return true;
    }

    bool Word(const wchar_t* word) {
        size_t length = wcslen(word);
        if (m_text.compare(m_at, length, word) != 0) return false;
        m_at += length;
        return true;
    }

    bool Value(JsonValue& value) {
        SkipSpace();
        if (m_at >= m_text.size()) return false;
        wchar_t c = m_text[m_at];
        if (c == L'{') return Object(value);
        if (c == L'[') return Array(value);
        if (c == L'"') {
            value.kind = JsonValue::kString;
            return String(value.text);
        }
        if (Word(L"true") || Word(L"false")) {
            value.kind = JsonValue::kBool;
            value.boolean = c == L't';
            return true;
        }
        if (Word(L"null")) return true;
        return Number(value);
    }

    bool Number(JsonValue& value) {
        size_t start = m_at;
        while (m_at < m_text.size() && wcschr(L"+-.eE0123456789", m_text[m_at]) && m_text[m_at]) ++m_at;
        if (m_at == start) return false;
        std::wstring digits = m_text.substr(start, m_at - start);
        wchar_t* end = nullptr;
        value.kind = JsonValue::kNumber;
        value.number = wcstod(digits.c_str(), &end);
        return end && *end == 0;
    }

    bool Escape(std::wstring& out) {
        if (m_at >= m_text.size()) return false;
        wchar_t c = m_text[m_at++];
        const wchar_t* from = L"\"\\/bfnrt";
        const wchar_t* to = L"\"\\/\b\f\n\r\t";
        if (const wchar_t* found = c ? wcschr(from, c) : nullptr) {
            out += to[found - from];
            return true;
        }
        if (c != L'u' || m_at + 4 > m_text.size()) return false;
        std::wstring hex = m_text.substr(m_at, 4);
        wchar_t* end = nullptr;
        out += static_cast<wchar_t>(wcstoul(hex.c_str(), &end, 16));
        m_at += 4;
        return end && *end == 0;
    }

    bool String(std::wstring& out) {
        if (!Take(L'"')) return false;
        while (m_at < m_text.size()) {
            wchar_t c = m_text[m_at++];
            if (c == L'"') return true;
            if (c < 0x20) return false;
            if (c != L'\\')
                out += c;
            else if (!Escape(out))
                return false;
        }
        return false;
    }

    bool Array(JsonValue& value) {
        value.kind = JsonValue::kArray;
        Take(L'[');
        if (Take(L']')) return true;
        do {
            value.items.emplace_back();
            if (!Value(value.items.back())) return false;
        } while (Take(L','));
        return Take(L']');
    }

    bool Object(JsonValue& value) {
        value.kind = JsonValue::kObject;
        Take(L'{');
        if (Take(L'}')) return true;
        do {
            value.members.emplace_back();
            SkipSpace();
            if (!String(value.members.back().first) || !Take(L':')) return false;
            if (!Value(value.members.back().second)) return false;
        } while (Take(L','));
        return Take(L'}');
    }

    const std::wstring& m_text;
    size_t m_at = 0;
};

}  // namespace

const JsonValue* JsonValue::Member(const std::wstring& name) const {
    for (const auto& member : members) {
        if (member.first == name) return &member.second;
    }
    return nullptr;
}

std::vector<std::wstring> JsonValue::Strings() const {
    std::vector<std::wstring> strings;
    for (const JsonValue& item : items) {
        if (item.kind == kString) strings.push_back(item.text);
    }
    return strings;
}

bool ParseJson(const std::string& utf8, JsonValue& value) {
    int size = static_cast<int>(utf8.size());
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0 && size > 0) return false;
    std::wstring text(static_cast<size_t>(length), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &text[0], length);
    value = JsonValue();
    return Reader(text).Document(value);
}
