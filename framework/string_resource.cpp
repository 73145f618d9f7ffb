#include "framework/string_resource.h"

#include <vector>

namespace fw {

namespace {
HMODULE g_resourceModule = nullptr;
}

void SetResourceModule(HMODULE module) { g_resourceModule = module; }

HMODULE ResourceModule() { return g_resourceModule ? g_resourceModule : GetModuleHandleA(nullptr); }

std::string LoadResString(UINT id) {
    std::vector<char> buffer(256);
    for (;;) {
        int length = LoadStringA(ResourceModule(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return std::string();
        // A string that filled the buffer may have been cut: try a larger one.
        if (static_cast<size_t>(length) < buffer.size() - 1) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring LoadResStringW(UINT id) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        int length = LoadStringW(ResourceModule(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return std::wstring();
        if (static_cast<size_t>(length) < buffer.size() - 1) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace fw
