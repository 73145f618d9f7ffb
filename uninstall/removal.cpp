#include "uninstall/removal.h"

#include "common/product.h"
#include "common/system_error.h"
#include "installer_shared/texts.h"
#include "uninstall/paths.h"
#include "uninstall/program_group.h"
#include "uninstall/resources/resource.h"
#include "uninstall/running_scanner.h"

#include <shlobj.h>

namespace uninstall {
namespace {

// The longest values that setup writes, in characters.
constexpr DWORD kProgramFolderChars = 254;
constexpr DWORD kProgramGroupChars = 99;

constexpr wchar_t kLineEnd[] = L"\r\n";

// Reads a string value of at most limit characters.
bool ReadLimitedString(HKEY key, const wchar_t* name, DWORD limit, std::wstring& value) {
    if (!key) return false;
    std::wstring buffer(limit + 1, L'\0');
    DWORD size = limit * sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS)
        return false;
    value = buffer.c_str();
    return true;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    CRegistryKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

bool HasSubkeys(HKEY root, const std::wstring& path) {
    CRegistryKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return true;
    DWORD subkeys = 1;
    LONG result = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr);
    return result != ERROR_SUCCESS || subkeys != 0;
}

// Deletes the key at path (with its values, not with subkeys); the
// system's error code.
LONG DeleteKey(HKEY root, const std::wstring& path) {
    CRegistryKey parent;
    LONG status = RegOpenKeyExW(root, ParentOf(path).c_str(), 0, KEY_ALL_ACCESS, parent.Receive());
    if (status != ERROR_SUCCESS) return status;
    return RegDeleteKeyW(parent.Get(), path.substr(path.find_last_of(L'\\') + 1).c_str());
}

const wchar_t* RootName(HKEY root) {
    return root == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\";
}

bool DeleteProgramFile(const std::wstring& path, CUninstallReport& report) {
    if (DeleteFileW(path.c_str())) return true;
    report.AddFailure(IDS_REPORT_FILE_NOT_DELETED, {path}, GetLastError());
    return false;
}

}  // namespace

void CUninstallReport::AddLine(const std::wstring& line) {
    m_strText += line;
    m_bError = true;
}

void CUninstallReport::AddFailure(UINT textId, std::vector<std::wstring> subjects, DWORD error) {
    subjects.push_back(SystemErrorText(error));
    AddLine(installer::FormatText(installer::LoadText(textId), subjects));
}

CRegistryKey OpenProductKey() {
    CRegistryKey key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallKeyW, 0, KEY_READ, key.Receive());
    return key;
}

bool RemoveProgramFiles(HKEY productKey, std::wstring& folder, CUninstallReport& report) {
    // An empty folder would name the files at the root of the current drive.
    if (!ReadLimitedString(productKey, kProgramFolderValueW, kProgramFolderChars, folder) || folder.empty()) {
        folder.clear();
        report.AddLine(installer::LoadText(IDS_REPORT_NO_FOLDER));
        return false;
    }
    if (!EndScanner(folder)) {
        report.AddLine(installer::LoadText(IDS_REPORT_SCANNER_RUNNING));
        return false;
    }
    bool done = true;
    for (const wchar_t* name : kInstalledFiles) done = DeleteProgramFile(JoinPath(folder, name), report) && done;
    if (RemoveDirectoryW(folder.c_str())) return done;
    report.AddFailure(IDS_REPORT_FOLDER_NOT_EMPTY, {}, GetLastError());
    return false;
}

bool RemoveProgramGroup(HKEY productKey, const std::wstring& programFolder, CUninstallReport& report) {
    std::wstring group;
    if (!ReadLimitedString(productKey, kProgramGroupValueW, kProgramGroupChars, group)) {
        report.AddLine(installer::LoadText(IDS_REPORT_NO_GROUP));
        return false;
    }
    if (!IsPlainFolderName(group)) {
        report.AddLine(installer::LoadText(IDS_REPORT_GROUP_REFUSED) + group + kLineEnd);
        return false;
    }
    // Without the program folder no shortcut can be told to be setup's; the
    // missing folder is reported by the file step.
    if (programFolder.empty()) return false;
    bool done = RemoveShortcutsUnder(CSIDL_PROGRAMS, group, programFolder, report);
    return RemoveShortcutsUnder(CSIDL_COMMON_PROGRAMS, group, programFolder, report) && done;
}

bool RemoveProductKeys(HKEY root, CUninstallReport& report) {
    LONG status = DeleteKey(root, kInstallKeyW);
    bool removed = !KeyExists(root, kInstallKeyW);
    if (!removed)
        report.AddFailure(IDS_REPORT_KEY_NOT_DELETED, {RootName(root) + std::wstring(kInstallKeyW)},
                          static_cast<DWORD>(status));
    std::wstring companyKey = ParentOf(kProgramKeyW);
    if (HasSubkeys(root, kProgramKeyW) || DeleteKey(root, kProgramKeyW) != ERROR_SUCCESS) return removed;
    if (!HasSubkeys(root, companyKey)) DeleteKey(root, companyKey);
    return removed;
}

}  // namespace uninstall
