#include "shell/web_links.h"

#include <string>

void OpenWebPage(CDesktop& desktop, HWND owner, const char* url) {
    // The address alone: nothing of the user's files goes to the browser.
    std::string address(url);
    desktop.ShellOpen(owner, L"open", std::wstring(address.begin(), address.end()), std::wstring(), 0);
}
