#include "framework/profile.h"

namespace fw {

namespace {
std::string g_programKey;
}

void SetProgramKey(const std::string& keyPath) { g_programKey = keyPath; }

std::string ProgramKey() { return g_programKey; }

bool WriteProfileBinary(const char* valueName, const void* data, DWORD size) {
    if (g_programKey.empty()) return false;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, g_programKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, valueName, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace fw
