// Autorun entries of the "load" and "run" options of win.ini.
#include "autorun/autorun_sources.h"

#include "findings/bounded_copy.h"

#include <cwchar>

namespace {

constexpr DWORD kOptionChars = 2048;

// One entry per piece of the option's value, split at every single space;
// two spaces in a row give an empty piece, an empty value one empty piece.
void ReadWinIniOption(const wchar_t* option, CAutoRunArray& inventory) {
    wchar_t value[kOptionChars] = {};
    GetProfileStringW(L"windows", option, L"", value, kOptionChars);
    CAutoRunInfo entry = {};
    entry.m_nType = AUTORUN_WININI;
    CopyWhole(entry.m_szLocation, option, kAutoRunPathChars);
    const wchar_t* piece = value;
    for (;;) {
        const wchar_t* space = wcschr(piece, L' ');
        size_t length = space ? static_cast<size_t>(space - piece) : wcslen(piece);
        CopyBounded(entry.m_szProgram, std::wstring(piece, length), kAutoRunPathChars);
        inventory.push_back(entry);
        if (!space) break;
        piece = space + 1;
    }
}

}  // namespace

void ReadWinIni(CAutoRunArray& inventory) {
    ReadWinIniOption(L"load", inventory);
    ReadWinIniOption(L"run", inventory);
}
