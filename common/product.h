// The facts that the programs of the product share: where they keep their
// settings, how the uninstaller recognises and closes a running scanner, and
// the names of the files that ship together in the program folder.
//
// Each text is spelled once and comes in both widths: kName (char) and
// kNameW (wchar_t); the main window's class, registered wide, has only the
// wide one.
#pragma once

#include <windows.h>

#define VEYRITH_SHARED_TEXT(name, text) \
    constexpr char name[] = text;       \
    constexpr wchar_t name##W[] = L"" text

// Company part of the program's key under HKEY_CURRENT_USER.
VEYRITH_SHARED_TEXT(kCompanyName, "Tarnwick");
// The program's own key under HKEY_CURRENT_USER; the product key under both
// roots.
VEYRITH_SHARED_TEXT(kProgramKey, "Software\\Tarnwick\\Veyrith");
// REG_BINARY value under kProgramKey holding the ToolRequest for the tool.
VEYRITH_SHARED_TEXT(kConfigureValue, "Configure");

// The installation values that setup writes under HKEY_LOCAL_MACHINE and the
// uninstaller reads: the version key below kProgramKey and its two values.
VEYRITH_SHARED_TEXT(kInstallKey, "Software\\Tarnwick\\Veyrith\\1.0");
VEYRITH_SHARED_TEXT(kProgramFolderValue, "Program Folder");
VEYRITH_SHARED_TEXT(kProgramGroupValue, "Program Group Name");
// The product's entry in the system's list of installed programs.
VEYRITH_SHARED_TEXT(kRegistrationParentKey, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
VEYRITH_SHARED_TEXT(kRegistrationName, "Veyrith");

// The scanner's main window: its class, and the message (WM_USER, 0x0400)
// that makes it end a running scan and close without asking.
constexpr wchar_t kMainWindowClass[] = L"VeyrithMainFrame";
constexpr UINT kCloseRequestMessage = WM_USER;

// The shipped files, all side by side in the program folder.
VEYRITH_SHARED_TEXT(kProgramFileName, "veyrith.exe");
VEYRITH_SHARED_TEXT(kToolFileName, "veyrith_configure.exe");
VEYRITH_SHARED_TEXT(kScanFileName, "veyrith_scan.exe");
VEYRITH_SHARED_TEXT(kHelpFileName, "veyrith.chm");
VEYRITH_SHARED_TEXT(kUninstallFileName, "uninstall.exe");
VEYRITH_SHARED_TEXT(kSelfTestHostFileName, "veyrith_selftest.exe");
VEYRITH_SHARED_TEXT(kSelfTestModuleFileName, "veyrith_selftest.dll");
VEYRITH_SHARED_TEXT(kProbe64FileName, "veyrith_probe64.exe");
VEYRITH_SHARED_TEXT(kSelfTestHost64FileName, "veyrith_selftest64.exe");
VEYRITH_SHARED_TEXT(kSelfTestModule64FileName, "veyrith_selftest64.dll");

// What setup installs, in the order it copies them; the uninstaller deletes
// the same files.
constexpr const wchar_t* const kInstalledFiles[] = {
    kProgramFileNameW,      kToolFileNameW,           kHelpFileNameW,
    kUninstallFileNameW,    kSelfTestHostFileNameW,   kSelfTestModuleFileNameW,
    kProbe64FileNameW,      kSelfTestHost64FileNameW, kSelfTestModule64FileNameW,
    kScanFileNameW};

#undef VEYRITH_SHARED_TEXT
