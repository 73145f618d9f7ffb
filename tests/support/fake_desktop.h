// The desktop the tests give the program: it records every message box,
// shell open, restart, confirmation dialog and Save As instead of showing
// it, and answers each as the test says.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/desktop.h"

class FakeDesktop : public CDesktop {
public:
    struct Box {
        std::string text;   // in the code page, for texts of the program's own
        UINT type;
        std::wstring wide;  // as shown, for texts that name files
    };
    struct ShellCall {
        HWND owner;
        std::string verb;
        std::wstring file, parameters;
        int show;
    };

    using CDesktop::ShowMessage;
    int ShowMessage(const std::wstring& text, UINT type) override;
    void ShellOpen(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                   int show) override;
    void Restart() override { ++restarts; }
    // The dialog is made for real (modeless) and set up; the answer sees it,
    // may set its controls and names the button that is then pressed, so
    // the dialog's own code reads its controls as it would for a user.
    INT_PTR Confirm(fw::Dialog& dialog, HWND owner) override;
    bool ChooseSavePath(HWND owner, std::wstring& path) override;
    void OpenSavedReport(const std::wstring& path) override { openedReports.push_back(path); }

    // Forgets everything recorded; the answers stay.
    void Clear();

    // The button every box is answered with.
    int boxAnswer = IDOK;
    std::vector<Box> boxes;
    std::vector<ShellCall> shellOpens;
    int restarts = 0;
    // Answers a confirmation dialog: its window and template in, the button
    // to press out. Without one every dialog is cancelled.
    std::function<UINT(HWND dialog, UINT templateId)> answerDialog;
    // The templates of the confirmation dialogs, in the order they came.
    std::vector<UINT> dialogs;
    // Chooses the report's path; without one the Save As is cancelled.
    std::function<bool(HWND owner, std::wstring& path)> choosePath;
    std::vector<HWND> saveAsOwners;
    std::vector<std::wstring> openedReports;
};
