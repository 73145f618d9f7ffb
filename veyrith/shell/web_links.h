// The product's web pages, opened with the shell's "open" verb. Tests
// replace the shell call so that no browser starts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

constexpr char kHomePageUrl[] = "http://www.veyrith.example/";
constexpr char kSupportPageUrl[] = "http://www.veyrith.example/contacts.html";

// Receives what would go to ShellExecuteA: owner, verb, file, parameters
// and the show command.
using ShellOpenHook = std::function<void(HWND owner, const std::string& verb, const std::string& file,
                                         const std::string& parameters, int show)>;
// An empty hook restores the real shell call.
void SetShellOpenHook(ShellOpenHook hook);

// Opens the page with the parameter string and show command 0; the shell's
// result is not looked at.
void OpenWebPage(HWND owner, const char* url);
