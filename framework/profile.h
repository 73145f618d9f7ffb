// The program's own registry key under HKEY_CURRENT_USER and its values.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The key path below HKEY_CURRENT_USER ("Software\<company>\<program>");
// empty until the application sets it.
void SetProgramKey(const std::wstring& keyPath);
std::wstring ProgramKey();

// Stores data as a REG_BINARY value under the program key, creating the key
// when needed and replacing an older value of the same name. False when no
// program key is set or the registry refuses.
bool WriteProfileBinary(const wchar_t* valueName, const void* data, DWORD size);

}  // namespace fw
