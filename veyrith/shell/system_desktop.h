// The real desktop: the system's message box with the application title,
// the shell's open, the restart of Windows, the confirmation dialogs run
// modally, the system's Save As dialog for the report and the shell's open
// of the saved report. The application makes one and hands it to the frame.
#pragma once

#include "framework/desktop.h"

class CSystemDesktop : public CDesktop {
public:
    using CDesktop::ShowMessage;
    int ShowMessage(const std::wstring& text, UINT type) override;
    void ShellOpen(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                   int show) override;
    void Restart() override;
    INT_PTR Confirm(fw::Dialog& dialog, HWND owner) override;
    bool ChooseSavePath(HWND owner, std::wstring& path) override;
    void OpenSavedReport(const std::wstring& path) override;
};
