// The request record that veyrith stores for veyrith_configure, and the sizes
// both sides agree on. Paths and names are UTF-16, as the system gives them,
// so the tool acts on exactly the file, key and value the scanner found.
#pragma once

#include <windows.h>
#include <cstddef>

#pragma pack(push, 1)
struct ToolRequest {
    DWORD id;                // process id (-kill, -kill_del) or autorun kind (-reg_autorun)
    wchar_t path[260];       // first path; for an autorun registry entry the subkey
    wchar_t target[260];     // second path (-move, -copy); the process's image (-kill, -kill_del)
    DWORD rootKey;           // predefined root key handle value (-reg_autorun kind 1)
    wchar_t valueName[128];  // registry value to delete (-reg_autorun kind 1)
    DWORD view;              // the registry view the entry was found in (-reg_autorun kind 1)
};

// The registry views a request may name: the tool's own (32-bit) view, or the
// 64-bit view where the 64-bit companion found the entry. The tool never
// tries one after the other: a namesake in the other view is another
// program's.
constexpr DWORD kRequestView32 = 0;
constexpr DWORD kRequestView64 = 1;
#pragma pack(pop)

// Bytes stored for every switch except -reg_autorun (id, path, target).
constexpr DWORD kToolRequestShortSize = 1044;
// Bytes stored for -reg_autorun (the whole record).
constexpr DWORD kToolRequestAutorunSize = 1308;
// The tool reads at most this many bytes.
constexpr DWORD kToolRequestBufferSize = 2048;

static_assert(offsetof(ToolRequest, id) == 0, "id offset");
static_assert(offsetof(ToolRequest, path) == 4, "path offset");
static_assert(offsetof(ToolRequest, target) == 524, "target offset");
static_assert(offsetof(ToolRequest, rootKey) == 1044, "rootKey offset");
static_assert(offsetof(ToolRequest, valueName) == 1048, "valueName offset");
static_assert(offsetof(ToolRequest, view) == 1304, "view offset");
static_assert(offsetof(ToolRequest, rootKey) == kToolRequestShortSize, "short request size");
static_assert(sizeof(ToolRequest) == kToolRequestAutorunSize, "autorun request size");
static_assert(kToolRequestAutorunSize < kToolRequestBufferSize, "the tool reads every request whole");
