// Autorun entries of the "load" and "run" options of win.ini.
#include "autorun/autorun_sources.h"

#include "findings/bounded_copy.h"

#include <cstring>

namespace {

constexpr DWORD kOptionChars = 2048;

// One entry per piece of the option's value, split at every single space;
// two spaces in a row give an empty piece, an empty value one empty piece.
void ReadWinIniOption(const char* option, CAutoRunArray& inventory) {
    char value[kOptionChars] = {};
    GetProfileStringA("windows", option, "", value, kOptionChars);
    CAutoRunInfo entry = {};
    entry.m_nType = AUTORUN_WININI;
    CopyBounded(entry.m_szLocation, option, kAutoRunPathChars);
    const char* piece = value;
    for (;;) {
        const char* space = strchr(piece, ' ');
        size_t length = space ? static_cast<size_t>(space - piece) : strlen(piece);
        std::string text(piece, length);
        CopyBounded(entry.m_szProgram, text.c_str(), kAutoRunPathChars);
        inventory.push_back(entry);
        if (!space) break;
        piece = space + 1;
    }
}

}  // namespace

void ReadWinIni(CAutoRunArray& inventory) {
    ReadWinIniOption("load", inventory);
    ReadWinIniOption("run", inventory);
}
