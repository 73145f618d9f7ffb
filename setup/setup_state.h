// The state of one setup run and the small helpers every part of setup uses.
#pragma once

#include <windows.h>

#include <string>

// Installation choices, filled by the wizard's pages. The folder and the
// group are names of the file system, kept wide.
extern wchar_t g_szProgramFolder[255];
extern wchar_t g_szProgramGroup[100];
extern bool g_bAllUsers;
extern bool g_bViewHelp;
extern bool g_bLaunchProgram;

extern HINSTANCE g_hInstance;
extern HWND g_hMainWindow;
extern HWND g_hWizard;

// A string resource of the setup program, narrow and wide.
std::string LoadText(UINT id);
std::wstring LoadWideText(UINT id);

// A message box with the setup program's caption.
int SetupMessageBox(HWND owner, const std::string& text, UINT type);
int SetupMessageBox(HWND owner, const std::wstring& text, UINT type);

// The folder that holds setup.exe, without a trailing backslash: the folder
// of the running program's own file.
std::wstring SourceFolder();

// True on Windows Vista and later.
bool IsVistaOrLater();
