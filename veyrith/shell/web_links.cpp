#include "shell/web_links.h"

#include <shellapi.h>

namespace {
ShellOpenHook g_shellOpenHook;
}

void SetShellOpenHook(ShellOpenHook hook) { g_shellOpenHook = std::move(hook); }

void OpenWebPage(HWND owner, const char* url) {
    // The address alone: nothing of the user's files goes to the browser.
    const int show = 0;
    if (g_shellOpenHook) {
        g_shellOpenHook(owner, "open", url, std::string(), show);
        return;
    }
    ShellExecuteA(owner, "open", url, nullptr, nullptr, show);
}
