#include "privilege.h"

bool SetPrivilege(HANDLE token, const char* privilegeName, bool enable) {
    LUID luid;
    if (!LookupPrivilegeValueA(nullptr, privilegeName, &luid)) return false;

    // First pass: learn the privilege's current attributes.
    TOKEN_PRIVILEGES query = {};
    query.PrivilegeCount = 1;
    query.Privileges[0].Luid = luid;
    query.Privileges[0].Attributes = 0;
    TOKEN_PRIVILEGES previous = {};
    DWORD previousSize = sizeof(previous);
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(token, FALSE, &query, sizeof(query), &previous, &previousSize);
    if (GetLastError() != ERROR_SUCCESS) return false;

    // Second pass: keep the other attribute bits, switch only "enabled".
    previous.PrivilegeCount = 1;
    previous.Privileges[0].Luid = luid;
    if (enable)
        previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
    else
        previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(token, FALSE, &previous, previousSize, nullptr, nullptr);
    return GetLastError() == ERROR_SUCCESS;
}
