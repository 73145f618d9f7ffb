#include "findings/simple_str_array.h"

#include <cstdlib>
#include <cstring>
#include <windows.h>

CSimpleStrArray::CSimpleStrArray(int initialCapacity, int growBy)
    : m_nGrowBy(growBy > 0 ? growBy : 1) {
    if (initialCapacity > 0) {
        m_ppData = static_cast<char**>(std::calloc(initialCapacity, sizeof(char*)));
        if (m_ppData) m_nCapacity = initialCapacity;
    }
}

CSimpleStrArray::~CSimpleStrArray() { Clear(); }

bool CSimpleStrArray::Grow() {
    int capacity = m_nCapacity + m_nGrowBy;
    char** slots = static_cast<char**>(std::calloc(capacity, sizeof(char*)));
    if (!slots) return false;
    if (m_ppData) std::memcpy(slots, m_ppData, m_nCapacity * sizeof(char*));
    std::free(m_ppData);
    m_ppData = slots;
    m_nCapacity = capacity;
    return true;
}

bool CSimpleStrArray::Add(const char* text) {
    if (m_nLastIndex + 1 >= m_nCapacity && !Grow()) return false;
    size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) return false;
    std::memcpy(copy, text, length + 1);
    m_ppData[++m_nLastIndex] = copy;
    return true;
}

bool CSimpleStrArray::Find(const char* text, bool caseSensitive) const {
    for (int i = 0; i <= m_nLastIndex; ++i) {
        int order = caseSensitive ? lstrcmpA(m_ppData[i], text) : lstrcmpiA(m_ppData[i], text);
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
