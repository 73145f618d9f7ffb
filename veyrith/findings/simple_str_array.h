// A growable array of heap-copied UTF-16 strings with a case-insensitive find.
#pragma once

class CSimpleStrArray {
public:
    CSimpleStrArray(int initialCapacity, int growBy);
    virtual ~CSimpleStrArray();
    CSimpleStrArray(const CSimpleStrArray&) = delete;
    CSimpleStrArray& operator=(const CSimpleStrArray&) = delete;

    // Appends a heap copy of text; false only when memory runs out.
    bool Add(const wchar_t* text);
    // Linear search from index 0.
    bool Find(const wchar_t* text, bool caseSensitive) const;
    // Frees every string and the slot array.
    void Clear();

    int GetSize() const { return m_nLastIndex + 1; }
    int GetCapacity() const { return m_nCapacity; }
    const wchar_t* GetAt(int index) const { return m_ppData[index]; }

private:
    bool Grow();

    wchar_t** m_ppData = nullptr;
    int m_nLastIndex = -1;
    int m_nCapacity = 0;
    int m_nGrowBy = 1;
};
