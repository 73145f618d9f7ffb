// The program's single document: it holds the result of the newest scan,
// which the scan session writes and the frame's views show. Nothing of it
// is loaded or saved.
#pragma once

#include "census/scan_result.h"

class CVeyrithDoc {
public:
    CVeyrithDoc() = default;
    CVeyrithDoc(const CVeyrithDoc&) = delete;
    CVeyrithDoc& operator=(const CVeyrithDoc&) = delete;

    // Starts a new, empty document: nothing is loaded, saved or serialised.
    bool OnNewDocument();
    // The document is never changed by the user, so it never needs saving.
    bool IsModified() const { return m_bModified; }
    // The result of the newest scan; empty before the first.
    CScanResult& ScanResult() { return m_scanResult; }
    const CScanResult& ScanResult() const { return m_scanResult; }

private:
    bool m_bModified = false;
    CScanResult m_scanResult;
};
