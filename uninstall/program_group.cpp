#include "uninstall/program_group.h"

#include "common/product.h"
#include "common/owners.h"
#include "installer_shared/shortcuts.h"
#include "installer_shared/texts.h"
#include "uninstall/paths.h"
#include "uninstall/resources/resource.h"

#include <shlobj.h>

#include <cwchar>

namespace uninstall {
namespace {

static_assert(IDS_SHORTCUT_PROGRAM == installer::kShortcutProgramNameId &&
                  IDS_SHORTCUT_HELP == installer::kShortcutHelpNameId &&
                  IDS_SHORTCUT_UNINSTALL == installer::kShortcutUninstallNameId,
              "the string table names the shortcuts under the shared numbers");

// The Startup folders lie under the Programs menus; a group of that name
// shares them with other programs, and they stay even when empty.
const int kKeptFolders[] = {CSIDL_STARTUP, CSIDL_COMMON_STARTUP};

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return std::wstring();
    return path;
}

bool IsForbiddenCharacter(wchar_t c) { return c < 0x20 || wcschr(L"\\/:*?\"<>|", c) != nullptr; }

bool IsKeptFolder(const std::wstring& folder) {
    for (int csidl : kKeptFolders)
        if (IsSamePath(ShellFolder(csidl), folder)) return true;
    return false;
}

bool IsPlainFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The path the shortcut opens, as the shell link object reads it.
std::wstring ShortcutTarget(const std::wstring& linkFile) {
    CComPtr<IShellLinkW> link;
    CComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH] = {};
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Receive())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.Receive())) ||
        FAILED(file->Load(linkFile.c_str(), STGM_READ)) || link->GetPath(target, MAX_PATH, nullptr, 0) != S_OK)
        return std::wstring();
    return target;
}

// True unless the shortcut is setup's and stays.
bool RemoveShortcut(const std::wstring& linkFile, const std::wstring& target, CUninstallReport& report) {
    if (GetFileAttributesW(linkFile.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    if (!IsSamePath(ShortcutTarget(linkFile), target)) return true;
    if (DeleteFileW(linkFile.c_str())) return true;
    report.AddFailure(IDS_REPORT_SHORTCUT_NOT_DELETED, {linkFile}, GetLastError());
    return false;
}

}  // namespace

bool IsPlainFolderName(const std::wstring& name) {
    for (wchar_t c : name)
        if (IsForbiddenCharacter(c)) return false;
    return name.find_last_not_of(L". ") != std::wstring::npos;
}

bool RemoveShortcutsUnder(int csidl, const std::wstring& group, const std::wstring& programFolder,
                          CUninstallReport& report) {
    if (!IsPlainFolderName(group)) return false;
    std::wstring programs = ShellFolder(csidl);
    if (programs.empty()) return true;
    std::wstring folder = JoinPath(programs, group);
    if (!IsPlainFolder(folder)) return true;
    bool done = true;
    for (const installer::Shortcut& shortcut : installer::kShortcuts) {
        std::wstring linkFile = JoinPath(folder, installer::LoadText(shortcut.nameId) + L".lnk");
        done = RemoveShortcut(linkFile, JoinPath(programFolder, shortcut.target), report) && done;
    }
    // Fails, as it should, while anything else is left in the folder.
    if (!IsKeptFolder(folder)) RemoveDirectoryW(folder.c_str());
    return done;
}

}  // namespace uninstall
