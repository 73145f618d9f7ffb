// Turning one privilege of an access token on or off.
#pragma once

#include <windows.h>

// True only when the privilege ended up in the requested state; a privilege
// the account does not hold (ERROR_NOT_ALL_ASSIGNED) counts as failure.
bool SetPrivilege(HANDLE token, const char* privilegeName, bool enable);
