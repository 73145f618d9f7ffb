#include "file_facts/file_hash.h"

#include <wincrypt.h>

#include <vector>

#include "common/owners.h"

namespace {

constexpr DWORD kChunkBytes = 256 * 1024;
constexpr DWORD kDigestBytes = 32;

bool HashAll(HANDLE file, HCRYPTHASH hash, const std::atomic<bool>* stop) {
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    std::vector<BYTE> chunk(kChunkBytes);
    for (;;) {
        if (stop && stop->load()) return false;
        DWORD read = 0;
        if (!ReadFile(file, chunk.data(), kChunkBytes, &read, nullptr)) return false;
        if (read == 0) return true;
        if (!CryptHashData(hash, chunk.data(), read, 0)) return false;
    }
}

std::wstring LowerHex(const BYTE* bytes, DWORD count) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    for (DWORD i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace

bool FileSha256(HANDLE file, std::wstring& digest, const std::atomic<bool>* stop) {
    digest.clear();
    CCryptProvider provider;
    if (!CryptAcquireContextW(provider.Receive(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return false;
    CCryptHash hash;
    if (!CryptCreateHash(provider.Get(), CALG_SHA_256, 0, 0, hash.Receive())) return false;
    if (!HashAll(file, hash.Get(), stop)) return false;
    BYTE value[kDigestBytes] = {};
    DWORD size = sizeof(value);
    if (!CryptGetHashParam(hash.Get(), HP_HASHVAL, value, &size, 0) || size != kDigestBytes) return false;
    digest = LowerHex(value, size);
    return true;
}
