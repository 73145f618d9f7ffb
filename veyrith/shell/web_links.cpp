#include "shell/web_links.h"

void OpenWebPage(HWND owner, const char* url) {
    // The address alone: nothing of the user's files goes to the browser.
    ShellOpen(owner, "open", url, std::string(), 0);
}
