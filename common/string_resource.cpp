#include "common/string_resource.h"

#include <vector>

namespace {
HMODULE g_resourceModule = nullptr;
constexpr size_t kFirstBufferChars = 256;
}  // namespace

void SetResourceModule(HMODULE module) { g_resourceModule = module; }

HMODULE ResourceModule() { return g_resourceModule ? g_resourceModule : GetModuleHandleW(nullptr); }

std::wstring LoadResString(UINT id) {
    std::vector<wchar_t> buffer(kFirstBufferChars);
    for (;;) {
        int length = LoadStringW(ResourceModule(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return std::wstring();
        // A string that filled the buffer may have been cut: try a larger one.
        if (static_cast<size_t>(length) < buffer.size() - 1) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}
