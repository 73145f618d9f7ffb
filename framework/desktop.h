// What a part of the program needs from the user's desktop: message boxes,
// the shell's open, the restart of the system, the confirmation dialogs,
// the Save As dialog and the opening of a saved report. The program makes
// one real desktop at its top and hands it down to the parts that show
// something; tests give their own, which records what would be shown and
// answers it.
#pragma once

#include <windows.h>

#include <string>

namespace fw {
class Dialog;
}

class CDesktop {
public:
    virtual ~CDesktop() = default;

    // A message box with the type flags (buttons and icon), captioned with
    // the application title; returns the button pressed (IDOK, IDYES...).
    // The text is UTF-16: a message may name a file that the code page cannot.
    virtual int ShowMessage(const std::wstring& text, UINT type) = 0;
    // The same with the text of a string resource.
    int ShowMessage(UINT stringId, UINT type);

    // The shell's verb on a file, document, folder or address, with the
    // parameter string and show command; the shell's result is not looked at.
    virtual void ShellOpen(HWND owner, const std::wstring& verb, const std::wstring& file,
                           const std::wstring& parameters, int show) = 0;

    // Restarts Windows at once; the user has agreed in the dialog that asked.
    virtual void Restart() = 0;

    // Runs a confirmation dialog modally over owner; the code it ended with
    // (IDOK, IDCANCEL), -1 when it could not be shown.
    virtual INT_PTR Confirm(fw::Dialog& dialog, HWND owner) = 0;

    // The Save As dialog for the report: true with the chosen path, false
    // when the user cancelled.
    virtual bool ChooseSavePath(HWND owner, std::wstring& path) = 0;
    // Opens the saved report with the shell.
    virtual void OpenSavedReport(const std::wstring& path) = 0;
};
