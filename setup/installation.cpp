#include "installation.h"

#include "resources/resource.h"
#include "setup_state.h"

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

// The program, its tool, its help, the uninstaller, the self-test of both
// widths and the 64-bit companion.
const char* const kProductFiles[] = {"veyrith.exe",           "veyrith_configure.exe",  "veyrith.chm",
                                     "uninstall.exe",         "veyrith_selftest.exe",   "veyrith_selftest.dll",
                                     "veyrith_probe64.exe",   "veyrith_selftest64.exe", "veyrith_selftest64.dll"};

struct Shortcut {
    UINT nameId;
    const char* target;
};
const Shortcut kShortcuts[] = {
    {IDS_SHORTCUT_PROGRAM, "veyrith.exe"},
    {IDS_SHORTCUT_HELP, "veyrith.chm"},
    {IDS_SHORTCUT_UNINSTALL, "uninstall.exe"},
};

const char kProductKey[] = "Software\\Tarnwick\\Veyrith\\1.0";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veyrith";
const UINT kStartTimer = 1;

std::string Format(const std::string& pattern, const std::vector<std::string>& arguments) {
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    std::vector<char> text(pattern.size() + 1);
    for (const std::string& argument : arguments) text.resize(text.size() + argument.size());
    wsprintfA(text.data(), pattern.c_str(), pointers.size() > 0 ? pointers[0] : "",
              pointers.size() > 1 ? pointers[1] : "", pointers.size() > 2 ? pointers[2] : "");
    return text.data();
}

std::string SystemErrorText(DWORD error) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : std::string();
    if (buffer) LocalFree(buffer);
    return text;
}

// Copies one file, asking Retry or Cancel while it fails. False on Cancel.
bool CopyWithRetry(HWND dialog, const std::string& source, const std::string& target) {
    while (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        std::string text = Format(LoadText(IDS_COPY_ERROR),
                                  {source, target, SystemErrorText(GetLastError())});
        if (SetupMessageBox(dialog, text, MB_ICONERROR | MB_RETRYCANCEL) != IDRETRY) return false;
    }
    return true;
}

bool CopyProductFiles(HWND dialog) {
    std::string source = SourceFolder();
    SetCurrentDirectoryA(source.c_str());
    CreateDirectoryA(g_szProgramFolder, nullptr);
    for (const char* file : kProductFiles) {
        std::string target = std::string(g_szProgramFolder) + "\\" + file;
        if (!CopyWithRetry(dialog, source + "\\" + file, target)) return false;
    }
    return true;
}

std::string ProgramsFolder() {
    LPITEMIDLIST list = nullptr;
    int folder = g_bAllUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &list))) return std::string();
    char path[MAX_PATH] = "";
    SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return path;
}

void CreateShortcut(const std::string& target, const std::string& linkFile) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    link->SetPath(target.c_str());
    link->SetDescription("");
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wideName[MAX_PATH] = L"";
        MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wideName, MAX_PATH);
        file->Save(wideName, TRUE);
        file->Release();
    }
    link->Release();
}

void CreateShortcuts() {
    std::string group = ProgramsFolder() + "\\" + g_szProgramGroup;
    CreateDirectoryA(group.c_str(), nullptr);
    for (const Shortcut& shortcut : kShortcuts)
        CreateShortcut(std::string(g_szProgramFolder) + "\\" + shortcut.target,
                       group + "\\" + LoadText(shortcut.nameId) + ".lnk");
}

void SetStatus(HWND dialog, UINT textId) {
    SetDlgItemTextA(dialog, IDC_INSTALL_STATUS, LoadText(textId).c_str());
    UpdateWindow(dialog);
}

void Install(HWND dialog) {
    SetStatus(dialog, IDS_COPYING);
    if (!CopyProductFiles(dialog)) ExitProcess(0);
    SetStatus(dialog, IDS_CREATING_SHORTCUTS);
    CreateShortcuts();
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK InstallationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetTimer(dialog, kStartTimer, 200, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kStartTimer && IsWindowVisible(dialog)) {
            KillTimer(dialog, kStartTimer);
            Install(dialog);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void SetStringValue(HKEY key, const char* name, const std::string& data) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
}

void WriteValues(const char* keyName, const char* name1, const std::string& data1,
                 const char* name2, const std::string& data2) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    SetStringValue(key, name1, data1);
    SetStringValue(key, name2, data2);
    RegCloseKey(key);
}

}  // namespace

bool RunInstallationDialog(HWND owner) {
    return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_INSTALLING), owner, InstallationProc,
                           0) == IDOK;
}

void WriteRegistryValues() {
    WriteValues(kProductKey, "Program Folder", g_szProgramFolder, "Program Group Name",
                g_szProgramGroup);
    WriteValues(kUninstallKey, "DisplayName", LoadText(IDS_DISPLAY_NAME), "UninstallString",
                std::string(g_szProgramFolder) + "\\uninstall.exe");
}
