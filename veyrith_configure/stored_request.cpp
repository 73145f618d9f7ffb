#include "stored_request.h"

#include "common/owners.h"
#include "common/product.h"
#include "common/request_digest.h"

#include <cstddef>
#include <cstring>

namespace {

// True when the UTF-16 field of `size` bytes at `offset` holds a NUL
// character (a whole zero unit, not just a zero byte of some character).
bool IsTerminated(const StoredRequest& stored, size_t offset, size_t size) {
    for (size_t at = offset; at + sizeof(wchar_t) <= offset + size; at += sizeof(wchar_t)) {
        wchar_t unit = 0;
        std::memcpy(&unit, stored.bytes + at, sizeof(unit));
        if (unit == L'\0') return true;
    }
    return false;
}

bool StringsTerminated(const StoredRequest& stored) {
    if (!IsTerminated(stored, offsetof(ToolRequest, path), sizeof(ToolRequest::path))) return false;
    if (!IsTerminated(stored, offsetof(ToolRequest, target), sizeof(ToolRequest::target))) return false;
    if (stored.size < kToolRequestAutorunSize) return true;
    return IsTerminated(stored, offsetof(ToolRequest, valueName), sizeof(ToolRequest::valueName));
}

}  // namespace

bool ReadStoredRequest(StoredRequest& stored) {
    stored = StoredRequest();
    CRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKeyW, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof(stored.bytes);
    if (RegQueryValueExW(key.Get(), kConfigureValueW, nullptr, &stored.type, stored.bytes, &size) != ERROR_SUCCESS)
        return false;
    stored.size = size;
    return true;
}

bool MatchesDigest(const StoredRequest& stored, const std::string& digest) {
    // An empty digest (no cryptographic provider) never matches.
    std::string actual = RequestDigest(stored.bytes, stored.size);
    return !actual.empty() && actual == digest;
}

bool FitsSwitch(const StoredRequest& stored, ToolSwitch which) {
    if (stored.type != REG_BINARY) return false;
    DWORD expected = which == ToolSwitch::RegAutorun ? kToolRequestAutorunSize : kToolRequestShortSize;
    if (stored.size != expected) return false;
    return StringsTerminated(stored);
}

ToolRequest RecordOf(const StoredRequest& stored) {
    ToolRequest request = {};
    std::memcpy(&request, stored.bytes, sizeof(request));
    return request;
}
