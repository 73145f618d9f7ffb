#include "installation.h"

#include "common/product.h"
#include "common/owners.h"
#include "common/system_error.h"
#include "resources/resource.h"
#include "setup_state.h"

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

struct Shortcut {
    UINT nameId;
    const wchar_t* target;
};
const Shortcut kShortcuts[] = {
    {IDS_SHORTCUT_PROGRAM, kProgramFileNameW},
    {IDS_SHORTCUT_HELP, kHelpFileNameW},
    {IDS_SHORTCUT_UNINSTALL, kUninstallFileNameW},
};

const UINT kStartTimer = 1;

// The pattern's %s in order, as many as given (at most three).
std::wstring Format(const std::wstring& pattern, const std::vector<std::wstring>& arguments) {
    size_t size = pattern.size() + 1;
    for (const std::wstring& argument : arguments) size += argument.size();
    std::vector<wchar_t> text(size);
    auto argument = [&](size_t i) { return i < arguments.size() ? arguments[i].c_str() : L""; };
    wsprintfW(text.data(), pattern.c_str(), argument(0), argument(1), argument(2));
    return text.data();
}

// Copies one file, asking Retry or Cancel while it fails. False on Cancel.
bool CopyWithRetry(HWND dialog, const std::wstring& source, const std::wstring& target) {
    while (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        std::wstring text = Format(LoadWideText(IDS_COPY_ERROR),
                                   {source, target, SystemErrorText(GetLastError())});
        if (SetupMessageBox(dialog, text, MB_ICONERROR | MB_RETRYCANCEL) != IDRETRY) return false;
    }
    return true;
}

bool CopyProductFiles(HWND dialog) {
    std::wstring source = SourceFolder();
    SetCurrentDirectoryW(source.c_str());
    CreateDirectoryW(g_szProgramFolder, nullptr);
    for (const wchar_t* file : kInstalledFiles) {
        std::wstring target = std::wstring(g_szProgramFolder) + L"\\" + file;
        if (!CopyWithRetry(dialog, source + L"\\" + file, target)) return false;
    }
    return true;
}

std::wstring ProgramsFolder() {
    wchar_t path[MAX_PATH] = L"";
    int folder = g_bAllUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path))) return std::wstring();
    return path;
}

void CreateShortcut(const std::wstring& target, const std::wstring& linkFile) {
    CComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Receive())))
        return;
    link->SetPath(target.c_str());
    link->SetDescription(L"");
    CComPtr<IPersistFile> file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.Receive()))) file->Save(linkFile.c_str(), TRUE);
}

void CreateShortcuts() {
    std::wstring group = ProgramsFolder() + L"\\" + g_szProgramGroup;
    CreateDirectoryW(group.c_str(), nullptr);
    for (const Shortcut& shortcut : kShortcuts)
        CreateShortcut(std::wstring(g_szProgramFolder) + L"\\" + shortcut.target,
                       group + L"\\" + LoadWideText(shortcut.nameId) + L".lnk");
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

void SetStringValue(HKEY key, const wchar_t* name, const std::wstring& data) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

struct NamedValue {
    const wchar_t* name;
    std::wstring data;
};

void WriteValues(const std::wstring& keyName, const NamedValue& first, const NamedValue& second) {
    CRegistryKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    SetStringValue(key.Get(), first.name, first.data);
    SetStringValue(key.Get(), second.name, second.data);
}

// The command line that the system's list of installed programs runs: the
// path in quotes, so that a folder with spaces cannot be read as a shorter
// program's path followed by arguments.
std::wstring UninstallCommand() {
    return L"\"" + std::wstring(g_szProgramFolder) + L"\\" + kUninstallFileNameW + L"\"";
}

}  // namespace

bool RunInstallationDialog(HWND owner) {
    return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_INSTALLING), owner, InstallationProc,
                           0) == IDOK;
}

void WriteRegistryValues() {
    WriteValues(kInstallKeyW, {kProgramFolderValueW, g_szProgramFolder}, {kProgramGroupValueW, g_szProgramGroup});
    WriteValues(std::wstring(kRegistrationParentKeyW) + L"\\" + kRegistrationNameW,
                {L"DisplayName", LoadWideText(IDS_DISPLAY_NAME)}, {L"UninstallString", UninstallCommand()});
}
