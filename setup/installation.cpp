#include "installation.h"

#include "common/owners.h"
#include "common/product.h"
#include "common/system_error.h"
#include "installer_shared/progress_window.h"
#include "installer_shared/shortcuts.h"
#include "installer_shared/texts.h"
#include "resources/resource.h"

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

static_assert(IDS_SHORTCUT_PROGRAM == installer::kShortcutProgramNameId &&
                  IDS_SHORTCUT_HELP == installer::kShortcutHelpNameId &&
                  IDS_SHORTCUT_UNINSTALL == installer::kShortcutUninstallNameId,
              "the string table names the shortcuts under the shared numbers");

const UINT kStartTimer = 1;

// Copies one file, asking Retry or Cancel while it fails. False on Cancel.
bool CopyWithRetry(HWND dialog, const std::wstring& source, const std::wstring& target) {
    while (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        std::wstring reason = LastErrorText();
        std::wstring text = installer::FormatText(installer::LoadText(IDS_COPY_ERROR), {source, target, reason});
        if (SetupMessageBox(dialog, text, MB_ICONERROR | MB_RETRYCANCEL) != IDRETRY) return false;
    }
    return true;
}

bool CopyProductFiles(const CSetupState& state, HWND dialog) {
    std::wstring source = SourceFolder();
    SetCurrentDirectoryW(source.c_str());
    CreateDirectoryW(state.m_szProgramFolder, nullptr);
    for (const wchar_t* file : kInstalledFiles) {
        std::wstring target = std::wstring(state.m_szProgramFolder) + L"\\" + file;
        if (!CopyWithRetry(dialog, source + L"\\" + file, target)) return false;
    }
    return true;
}

std::wstring ProgramsFolder(const CSetupState& state) {
    wchar_t path[MAX_PATH] = L"";
    int folder = state.m_bAllUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
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

void CreateShortcuts(const CSetupState& state) {
    std::wstring group = ProgramsFolder(state) + L"\\" + state.m_szProgramGroup;
    CreateDirectoryW(group.c_str(), nullptr);
    for (const installer::Shortcut& shortcut : installer::kShortcuts)
        CreateShortcut(std::wstring(state.m_szProgramFolder) + L"\\" + shortcut.target,
                       group + L"\\" + installer::LoadText(shortcut.nameId) + L".lnk");
}

void Install(const CSetupState& state, HWND dialog) {
    installer::ShowProgressText(dialog, IDC_INSTALL_STATUS, IDS_COPYING);
    if (!CopyProductFiles(state, dialog)) ExitProcess(0);
    installer::ShowProgressText(dialog, IDC_INSTALL_STATUS, IDS_CREATING_SHORTCUTS);
    CreateShortcuts(state);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK InstallationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        KeepDialogState(dialog, lParam);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetTimer(dialog, kStartTimer, 200, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kStartTimer && IsWindowVisible(dialog) && DialogState(dialog)) {
            KillTimer(dialog, kStartTimer);
            Install(*DialogState(dialog), dialog);
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
std::wstring UninstallCommand(const CSetupState& state) {
    return L"\"" + std::wstring(state.m_szProgramFolder) + L"\\" + kUninstallFileNameW + L"\"";
}

}  // namespace

bool RunInstallationDialog(CSetupState& state, HWND owner) {
    return DialogBoxParamW(state.m_hInstance, MAKEINTRESOURCEW(IDD_INSTALLING), owner, InstallationProc,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}

void WriteRegistryValues(const CSetupState& state) {
    WriteValues(kInstallKeyW, {kProgramFolderValueW, state.m_szProgramFolder},
                {kProgramGroupValueW, state.m_szProgramGroup});
    WriteValues(std::wstring(kRegistrationParentKeyW) + L"\\" + kRegistrationNameW,
                {L"DisplayName", installer::LoadText(IDS_DISPLAY_NAME)}, {L"UninstallString", UninstallCommand(state)});
}
