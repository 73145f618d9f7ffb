#include "web_links.h"

#include <shellapi.h>

namespace {
ShellOpenHook g_shellOpenHook;
}

void SetShellOpenHook(ShellOpenHook hook) { g_shellOpenHook = std::move(hook); }

void OpenWebPage(HWND owner, const char* url, const std::string& parameters) {
    const int show = 0;
    if (g_shellOpenHook) {
        g_shellOpenHook(owner, "open", url, parameters, show);
        return;
    }
    ShellExecuteA(owner, "open", url, parameters.c_str(), nullptr, show);
}
