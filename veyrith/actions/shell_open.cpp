#include "actions/shell_open.h"

#include <shellapi.h>

namespace {
ShellOpenHook g_shellOpenHook;
}

void SetShellOpenHook(ShellOpenHook hook) { g_shellOpenHook = std::move(hook); }

void ShellOpen(HWND owner, const char* verb, const std::wstring& file, const std::wstring& parameters,
               int show) {
    if (g_shellOpenHook) {
        g_shellOpenHook(owner, verb, file, parameters, show);
        return;
    }
    std::string verbText(verb);
    std::wstring wideVerb(verbText.begin(), verbText.end());
    ShellExecuteW(owner, wideVerb.c_str(), file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                  show);
}
