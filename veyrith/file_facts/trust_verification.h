// One check of WinVerifyTrust under the generic Authenticode policy, as the
// facts of a file need it: no user interface, no revocation check, nothing
// fetched from the network, and on success the name of the signer.
#pragma once

#include <windows.h>
#include <wintrust.h>

#include <string>

// Characters kept of a signer's name.
constexpr size_t kSignerNameChars = 256;

// Checks what data names (a file, or a member of a catalog: its union and
// choice set by the caller) and returns WinVerifyTrust's answer; on success
// signer gets the simple display name of the first signer's certificate
// (empty when it has none). ERROR_PROC_NOT_FOUND (as an HRESULT) when the
// system lacks the functions.
LONG VerifyTrust(WINTRUST_DATA& data, std::wstring& signer);
