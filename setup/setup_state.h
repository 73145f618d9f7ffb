// The state of one setup run and the small helpers every part of setup uses.
#pragma once

#include <windows.h>

#include <string>

// The gradient-fill function of msimg32.dll.
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// Everything one run of setup keeps. WinMain makes the one object; the main
// window gets it as its creation parameter, each wizard page in the lParam
// of its PROPSHEETPAGE and the installation dialog as its dialog parameter.
struct CSetupState {
    // Installation choices, filled by the wizard's pages. The folder and the
    // group are names of the file system, kept wide.
    wchar_t m_szProgramFolder[255] = L"";
    wchar_t m_szProgramGroup[100] = L"";
    bool m_bAllUsers = false;
    bool m_bViewHelp = false;
    bool m_bLaunchProgram = true;

    HINSTANCE m_hInstance = nullptr;
    HWND m_hMainWindow = nullptr;
    HWND m_hWizard = nullptr;
    // The page shown last: a declined quit selects it again.
    int m_nCurrentPage = 0;
    // The button drawn highlighted under the mouse pointer, if any.
    HWND m_hHighlighted = nullptr;
    // Null where msimg32.dll has no GradientFill: the background is then
    // drawn in lines.
    GradientFillFn m_pGradientFill = nullptr;
};

// A dialog made with the state as its parameter keeps it on WM_INITDIALOG
// (initParam is that message's lParam).
CSetupState* KeepDialogState(HWND dialog, LPARAM initParam);

// A wizard page keeps the state on WM_INITDIALOG, whose lParam (initParam)
// is the page's PROPSHEETPAGE, whose own lParam holds the state.
CSetupState* KeepPageState(HWND page, LPARAM initParam);

// The state a dialog or page kept in its DWLP_USER; null before it kept one.
CSetupState* DialogState(HWND dialog);

// A message box with the setup program's caption.
int SetupMessageBox(HWND owner, const std::wstring& text, UINT type);

// The folder that holds setup.exe, without a trailing backslash: the folder
// of the running program's own file.
std::wstring SourceFolder();

// True on Windows Vista and later.
bool IsVistaOrLater();
