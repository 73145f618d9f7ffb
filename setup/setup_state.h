// The state of one setup run and the small helpers every part of setup uses.
#pragma once

#include <windows.h>

#include <string>

// Installation choices, filled by the wizard's pages.
extern char g_szProgramFolder[255];
extern char g_szProgramGroup[100];
extern bool g_bAllUsers;
extern bool g_bViewHelp;
extern bool g_bLaunchProgram;

extern HINSTANCE g_hInstance;
extern HWND g_hMainWindow;
extern HWND g_hWizard;

// A string resource of the setup program.
std::string LoadText(UINT id);

// A message box with the setup program's caption.
int SetupMessageBox(HWND owner, const std::string& text, UINT type);

// The folder that holds setup.exe, from the first word of the command line,
// without a trailing backslash.
std::string SourceFolder();

// True on Windows Vista and later.
bool IsVistaOrLater();
