// UTF-8, the form in which the program's own text files (the quarantine
// index, the report) and the 64-bit companion's answer carry paths and
// names. Both directions are exact or fail: a text that has no exact UTF-8
// form (an unpaired surrogate, which a file name may hold) or bytes that are
// not well-formed UTF-8 give false, never a replacement character.
#pragma once

#include <string>

bool ToUtf8(const std::wstring& text, std::string& utf8);
bool FromUtf8(const std::string& utf8, std::wstring& text);

// For texts that are only shown (a report): an unpaired surrogate becomes
// U+FFFD.
std::string ToUtf8ForDisplay(const std::wstring& text);
