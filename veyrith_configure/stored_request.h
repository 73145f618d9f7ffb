// The request that veyrith stored for this launch: read once, checked against
// the launch's digest and against the shape that the switch needs.
#pragma once

#include "common/tool_request.h"

#include "tool_switch.h"

#include <string>

// The Configure value as it was read: its registry type, its length and its
// bytes, zero beyond the length.
struct StoredRequest {
    DWORD type = REG_NONE;
    DWORD size = 0;
    unsigned char bytes[kToolRequestBufferSize] = {};
};

// Reads the Configure value. False when the key or value is missing or the
// value is longer than kToolRequestBufferSize bytes.
bool ReadStoredRequest(StoredRequest& stored);

// True when the stored bytes, exactly as read, have the given digest.
bool MatchesDigest(const StoredRequest& stored, const std::string& digest);

// True when the value is a request of the size that the switch's caller
// stores (the whole record for -reg_autorun, the short one for every other
// switch), of type REG_BINARY, with a terminating NUL character inside every
// UTF-16 string field it holds.
bool FitsSwitch(const StoredRequest& stored, ToolSwitch which);

// The record of a stored request that fits its switch; the fields beyond the
// stored length are zero.
ToolRequest RecordOf(const StoredRequest& stored);
