#include "framework/profile.h"

#include "common/owners.h"

namespace fw {

namespace {
std::wstring g_programKey;
}

void SetProgramKey(const std::wstring& keyPath) { g_programKey = keyPath; }

std::wstring ProgramKey() { return g_programKey; }

bool WriteProfileBinary(const wchar_t* valueName, const void* data, DWORD size) {
    if (g_programKey.empty()) return false;
    CRegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, g_programKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.Get(), valueName, 0, REG_BINARY, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

}  // namespace fw
