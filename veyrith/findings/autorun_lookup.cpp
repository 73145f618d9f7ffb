// Which autorun entry starts a given executable.
#include "findings/autorun_lookup.h"

#include "findings/bounded_copy.h"

#include <cwchar>
#include <string>

namespace {

constexpr DWORD kLongPathChars = 260;

// The long form of a path; the text itself when it is not the path of an
// existing file (or its long form does not fit a field).
std::wstring LongForm(const wchar_t* text) {
    wchar_t buffer[kLongPathChars] = {};
    DWORD length = GetLongPathNameW(text, buffer, kLongPathChars);
    if (length == 0 || length >= kLongPathChars) return text;
    return buffer;
}

// A prefix match counts only where the path ends: a command may go on with
// a closing quote or arguments, but not with more characters of a name.
bool EndsPath(wchar_t next) { return next == L'\0' || next == L'"' || next == L' ' || next == L'\t'; }

// The program starts with the key, compared without regard to case as the
// file system compares names.
bool StartsProgram(const std::wstring& key, const std::wstring& program) {
    const wchar_t* text = program.c_str();
    if (*text == L'"') ++text;
    size_t length = std::wcslen(text);
    if (length < key.size()) return false;
    int keyChars = static_cast<int>(key.size());
    return CompareStringOrdinal(text, keyChars, key.c_str(), keyChars, TRUE) == CSTR_EQUAL &&
           EndsPath(text[key.size()]);
}

}  // namespace

CAutoRunLookup::CAutoRunLookup(const CAutoRunArray& inventory) : m_inventory(inventory) {
    m_programs.reserve(inventory.size());
    for (const CAutoRunInfo& entry : inventory) m_programs.push_back(LongForm(entry.m_szProgram));
}

bool CAutoRunLookup::Find(const wchar_t* exePath, CAutoRunInfo& found) const {
    found = CAutoRunInfo{};
    std::wstring key = LongForm(exePath);
    // An unknown executable path would prefix every entry.
    if (key.empty()) return false;
    for (size_t i = 0; i < m_programs.size(); ++i) {
        if (StartsProgram(key, m_programs[i])) {
            found = m_inventory[i];
            return true;
        }
    }
    return false;
}

bool FindAutoRunForProcess(const CAutoRunArray& inventory, const wchar_t* exePath,
                           CAutoRunInfo& found) {
    return CAutoRunLookup(inventory).Find(exePath, found);
}
