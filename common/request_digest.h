// The digest that binds a stored tool request to the launch of the tool:
// veyrith starts veyrith_configure with "<switch> <digest>", where digest is
// the SHA-1 of the exact bytes of the stored Configure value, and the tool
// acts only when the value it reads has that digest. A program that rewrites
// the value between the store and the read gets nothing done.
#pragma once

#include "common/owners.h"

#include <windows.h>
#include <wincrypt.h>

#include <string>

// Length of the digest text: 20 bytes as lower-case hexadecimal.
constexpr size_t kRequestDigestChars = 40;

// The SHA-1 of the bytes as 40 lower-case hex digits; empty when the
// system's cryptographic provider cannot be had.
inline std::string RequestDigest(const void* bytes, DWORD size) {
    std::string text;
    CCryptProvider provider;
    if (!CryptAcquireContextA(provider.Receive(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return text;
    BYTE digest[20] = {};
    DWORD digestSize = sizeof(digest);
    CCryptHash hash;
    bool done = CryptCreateHash(provider.Get(), CALG_SHA1, 0, 0, hash.Receive()) &&
                CryptHashData(hash.Get(), static_cast<const BYTE*>(bytes), size, 0) &&
                CryptGetHashParam(hash.Get(), HP_HASHVAL, digest, &digestSize, 0) && digestSize == sizeof(digest);
    if (!done) return text;
    static const char kHex[] = "0123456789abcdef";
    for (BYTE b : digest) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return text;
}
