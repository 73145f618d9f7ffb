// Which entry of the autorun inventory starts a given executable.
#pragma once

#include <string>
#include <vector>

#include "findings/findings.h"

// The inventory prepared for many lookups: each entry's program is put in
// the form the lookup compares (its long path) once, not once per
// executable looked up. Keeps a reference: the inventory must outlive it.
class CAutoRunLookup {
public:
    explicit CAutoRunLookup(const CAutoRunArray& inventory);
    // The first entry that starts the executable; an all-zero record and
    // false when none does.
    bool Find(const wchar_t* exePath, CAutoRunInfo& found) const;

private:
    const CAutoRunArray& m_inventory;
    std::vector<std::wstring> m_programs;
};

// The first entry that starts the executable; an all-zero record and false
// when none does.
bool FindAutoRunForProcess(const CAutoRunArray& inventory, const wchar_t* exePath,
                           CAutoRunInfo& found);
