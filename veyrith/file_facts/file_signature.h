// Who signed a file: its embedded Authenticode signature, else a system
// catalog that holds it, as a plain record and the text a user reads.
#pragma once

#include <windows.h>

#include <string>

enum class SignatureKind {
    Signed,          // an embedded signature that verifies
    SignedInCatalog, // no embedded signature; a system catalog holds the file
    NotSigned,
    DoesNotMatch,    // the signature's digest is not the file's
    NotTrusted,      // signed, but the chain fails here (expired, distrusted, unknown root...)
    NotChecked,      // the file could not be read, or the system cannot check
};

struct FileSignature {
    SignatureKind kind = SignatureKind::NotChecked;
    std::wstring signer;  // the signer's simple name; only for the two signed kinds
    LONG status = 0;      // WinVerifyTrust's answer, or the failure as an HRESULT
};

// What an answer of WinVerifyTrust for an embedded signature says. Never
// SignedInCatalog: that takes a catalog's answer.
SignatureKind SignatureKindOf(LONG status);

// Checks the file open as file (path names it; both are handed to
// WinVerifyTrust, which reads through the handle), then, when it has no
// embedded signature and the system keeps catalogs, the catalogs.
FileSignature CheckFileSignature(const std::wstring& path, HANDLE file);

// The record as a user reads it ("Signed by ...", "Not signed", ...), from
// the string table; the name or the code put in.
std::wstring SignatureText(const FileSignature& signature);
