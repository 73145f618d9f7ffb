// The product's web pages, opened with the shell's "open" verb through
// ShellOpen, which tests replace so that no browser starts.
#pragma once

#include <windows.h>

#include "actions/shell_open.h"

constexpr char kHomePageUrl[] = "http://www.veyrith.example/";
constexpr char kSupportPageUrl[] = "http://www.veyrith.example/contacts.html";

// Opens the page with the parameter string and show command 0; the shell's
// result is not looked at.
void OpenWebPage(HWND owner, const char* url);
