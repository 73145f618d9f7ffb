// The SHA-256 of a file, through the system's cryptographic provider.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// The digest of the bytes of the open file from its start to its end, as 64
// lower-case hex digits. The file is read in chunks, so a huge one takes
// no more memory than a small one, and the reading stops between two chunks
// once stop (when given) is true. False, with digest empty, when the file
// cannot be read to its end, the provider cannot be had, or it stopped.
bool FileSha256(HANDLE file, std::wstring& digest, const std::atomic<bool>* stop = nullptr);
