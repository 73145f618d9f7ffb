#include "shell/web_links.h"

void OpenWebPage(HWND owner, const char* url) {
    // The address alone: nothing of the user's files goes to the browser.
    std::string address(url);
    ShellOpen(owner, "open", std::wstring(address.begin(), address.end()), std::wstring(), 0);
}
