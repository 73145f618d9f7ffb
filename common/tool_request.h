// The request record that veyrith stores for veyrith_configure, and the sizes
// both sides agree on.
#pragma once

#include <windows.h>
#include <cstddef>

#pragma pack(push, 1)
struct ToolRequest {
    DWORD id;             // process id (-kill, -kill_del) or autorun kind (-reg_autorun)
    char path[260];       // first path; for an autorun registry entry the subkey
    char target[260];     // second path (-move, -copy)
    DWORD rootKey;        // predefined root key handle value (-reg_autorun kind 1)
    char valueName[128];  // registry value to delete (-reg_autorun kind 1)
};
#pragma pack(pop)

// Bytes stored for every switch except -reg_autorun (id, path, target).
constexpr DWORD kToolRequestShortSize = 524;
// Bytes stored for -reg_autorun (the whole record).
constexpr DWORD kToolRequestAutorunSize = 656;
// The tool reads at most this many bytes.
constexpr DWORD kToolRequestBufferSize = 1024;

static_assert(offsetof(ToolRequest, id) == 0, "id offset");
static_assert(offsetof(ToolRequest, path) == 4, "path offset");
static_assert(offsetof(ToolRequest, target) == 264, "target offset");
static_assert(offsetof(ToolRequest, rootKey) == 524, "rootKey offset");
static_assert(offsetof(ToolRequest, valueName) == 528, "valueName offset");
static_assert(offsetof(ToolRequest, rootKey) == kToolRequestShortSize, "short request size");
static_assert(sizeof(ToolRequest) == kToolRequestAutorunSize, "autorun request size");
