// The program's single document. It holds no data: the findings live in the
// scanner and the views; the document exists so that the frame and its
// views share one owner object, as the single-document layout expects.
#pragma once

class CVeyrithDoc {
public:
    CVeyrithDoc() = default;
    CVeyrithDoc(const CVeyrithDoc&) = delete;
    CVeyrithDoc& operator=(const CVeyrithDoc&) = delete;

    // Starts a new, empty document: nothing is loaded, saved or serialised.
    bool OnNewDocument();
    // The document is never changed by the user, so it never needs saving.
    bool IsModified() const { return m_bModified; }

private:
    bool m_bModified = false;
};
