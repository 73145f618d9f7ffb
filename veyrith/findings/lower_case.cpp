#include "findings/lower_case.h"

#include <windows.h>

std::string LowerCase(const char* text) {
    std::string lower(text);
    if (!lower.empty()) CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}
