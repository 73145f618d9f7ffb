// Texts that a file carries (a signer's name, the strings of a version
// resource) are the file's maker's to choose: before they are kept they lose
// what could hide or reorder what a user reads.
#pragma once

#include <cstddef>
#include <string>

// The text without its control characters (each becomes a space), without
// the marks and embeddings that change the direction of what follows, with
// no space at either end, and cut to at most maxChars characters.
std::wstring DisplayableText(const std::wstring& text, size_t maxChars);
