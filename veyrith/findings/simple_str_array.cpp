#include "findings/simple_str_array.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <windows.h>

CSimpleStrArray::CSimpleStrArray(int initialCapacity, int growBy)
    : m_nGrowBy(growBy > 0 ? growBy : 1) {
    if (initialCapacity > 0) {
        m_ppData = static_cast<wchar_t**>(std::calloc(initialCapacity, sizeof(wchar_t*)));
        if (m_ppData) m_nCapacity = initialCapacity;
    }
}

CSimpleStrArray::~CSimpleStrArray() { Clear(); }

bool CSimpleStrArray::Grow() {
    int capacity = m_nCapacity + m_nGrowBy;
    wchar_t** slots = static_cast<wchar_t**>(std::calloc(capacity, sizeof(wchar_t*)));
    if (!slots) return false;
    if (m_ppData) std::memcpy(slots, m_ppData, m_nCapacity * sizeof(wchar_t*));
    std::free(m_ppData);
    m_ppData = slots;
    m_nCapacity = capacity;
    return true;
}

bool CSimpleStrArray::Add(const wchar_t* text) {
    if (m_nLastIndex + 1 >= m_nCapacity && !Grow()) return false;
    size_t length = std::wcslen(text);
    wchar_t* copy = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
    if (!copy) return false;
    std::wmemcpy(copy, text, length + 1);
    m_ppData[++m_nLastIndex] = copy;
    return true;
}

bool CSimpleStrArray::Find(const wchar_t* text, bool caseSensitive) const {
    for (int i = 0; i <= m_nLastIndex; ++i) {
        int order = caseSensitive ? lstrcmpW(m_ppData[i], text) : lstrcmpiW(m_ppData[i], text);
        if (order == 0) return true;
    }
    return false;
}

void CSimpleStrArray::Clear() {
    for (int i = 0; i <= m_nLastIndex; ++i) std::free(m_ppData[i]);
    std::free(m_ppData);
    m_ppData = nullptr;
    m_nLastIndex = -1;
    m_nCapacity = 0;
}
