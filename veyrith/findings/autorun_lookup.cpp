// Which autorun entry starts a given executable.
#include "findings/autorun_lookup.h"

#include "findings/bounded_copy.h"

#include <cstring>
#include <string>

namespace {

constexpr DWORD kLongPathChars = 260;

// The long form of a path, lower-cased; the text itself (cut to the field's
// length) when it is not the path of an existing file.
std::string LowerLongForm(const char* text, size_t maxChars) {
    char buffer[kLongPathChars] = {};
    DWORD length = GetLongPathNameA(text, buffer, kLongPathChars);
    if (length == 0 || length >= kLongPathChars) CopyBounded(buffer, text, maxChars);
    CharLowerA(buffer);
    return buffer;
}

// A prefix match counts only where the path ends: a command may go on with
// a closing quote or arguments, but not with more characters of a name.
bool EndsPath(char next) { return next == '\0' || next == '"' || next == ' ' || next == '\t'; }

bool StartsProgram(const std::string& key, const std::string& program) {
    const char* text = program.c_str();
    if (*text == '"') ++text;
    return strncmp(text, key.c_str(), key.size()) == 0 && EndsPath(text[key.size()]);
}

}  // namespace

CAutoRunLookup::CAutoRunLookup(const CAutoRunArray& inventory) : m_inventory(inventory) {
    m_programs.reserve(inventory.size());
    for (const CAutoRunInfo& entry : inventory)
        m_programs.push_back(LowerLongForm(entry.m_szProgram, kAutoRunPathChars));
}

bool CAutoRunLookup::Find(const char* exePath, CAutoRunInfo& found) const {
    found = CAutoRunInfo{};
    std::string key = LowerLongForm(exePath, kLongPathChars - 1);
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

bool FindAutoRunForProcess(const CAutoRunArray& inventory, const char* exePath,
                           CAutoRunInfo& found) {
    return CAutoRunLookup(inventory).Find(exePath, found);
}
