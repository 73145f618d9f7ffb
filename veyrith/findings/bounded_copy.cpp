#include "findings/bounded_copy.h"

#include <cstring>

void CopyBounded(char* dest, const char* source, size_t maxChars) {
    size_t length = strnlen(source, maxChars);
    memcpy(dest, source, length);
    dest[length] = '\0';
}
