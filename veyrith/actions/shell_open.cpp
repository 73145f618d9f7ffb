#include "actions/shell_open.h"

#include <shellapi.h>

namespace {
ShellOpenHook g_shellOpenHook;
}

void SetShellOpenHook(ShellOpenHook hook) { g_shellOpenHook = std::move(hook); }

void ShellOpen(HWND owner, const char* verb, const std::string& file, const std::string& parameters, int show) {
    if (g_shellOpenHook) {
        g_shellOpenHook(owner, verb, file, parameters, show);
        return;
    }
    ShellExecuteA(owner, verb, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr, show);
}
