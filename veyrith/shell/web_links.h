// The product's web pages, opened with the shell's "open" verb through the
// desktop, so that a test's desktop starts no browser.
#pragma once

#include <windows.h>

#include "framework/desktop.h"

constexpr char kHomePageUrl[] = "http://www.veyrith.example/";
constexpr char kSupportPageUrl[] = "http://www.veyrith.example/contacts.html";

// Opens the page with the parameter string and show command 0; the shell's
// result is not looked at.
void OpenWebPage(CDesktop& desktop, HWND owner, const char* url);
