#include "uninstall/removal.h"

#include "uninstall/program_group.h"
#include "uninstall/resources/resource.h"
#include "uninstall/texts.h"

#include <shlobj.h>

namespace uninstall {
namespace {

constexpr DWORD kProgramFolderLimit = 255;
constexpr DWORD kProgramGroupLimit = 100;

// The files setup installs, in the order they are deleted.
const char* const kProductFiles[] = {"veyrith.exe",          "veyrith.chm",           "uninstall.exe",
                                     "veyrith_configure.exe", "veyrith_selftest.exe",  "veyrith_selftest.dll",
                                     "veyrith_probe64.exe",   "veyrith_selftest64.exe", "veyrith_selftest64.dll"};

// Reads a string value into a zero-filled buffer of at most limit bytes.
bool ReadLimitedString(HKEY key, const char* name, DWORD limit, std::string& value) {
    if (!key) return false;
    std::string buffer(limit + 1, '\0');
    DWORD size = limit;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size) !=
        ERROR_SUCCESS)
        return false;
    value = buffer.c_str();
    return true;
}

std::string JoinPath(std::string folder, const char* name) {
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\" + name;
}

bool HasSubkeys(HKEY parent, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
    DWORD subkeys = 1;
    LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result != ERROR_SUCCESS || subkeys != 0;
}

bool DeleteSubkey(HKEY root, const char* parentPath, const char* name) {
    HKEY parent = nullptr;
    if (RegOpenKeyExA(root, parentPath, 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS) return false;
    bool deleted = RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
    RegCloseKey(parent);
    return deleted;
}

}  // namespace

void CUninstallReport::AddLine(const std::string& line) {
    m_strText += line;
    m_bError = true;
}

HKEY OpenProductKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

void RemoveProgramFiles(HKEY productKey, CUninstallReport& report) {
    // An empty folder would name the files at the root of the current drive.
    std::string folder;
    if (!ReadLimitedString(productKey, kProgramFolderValue, kProgramFolderLimit, folder) || folder.empty()) {
        report.AddLine(LoadText(IDS_REPORT_NO_FOLDER));
        return;
    }
    for (const char* name : kProductFiles) {
        std::string path = JoinPath(folder, name);
        if (!DeleteFileA(path.c_str())) report.AddLine(LoadText(IDS_REPORT_FILE_NOT_DELETED) + path + "\r\n");
    }
    if (!RemoveDirectoryA(folder.c_str())) report.AddLine(LoadText(IDS_REPORT_FOLDER_NOT_EMPTY));
}

void RemoveProgramGroup(HKEY productKey, CUninstallReport& report) {
    std::string group;
    if (!ReadLimitedString(productKey, kProgramGroupValue, kProgramGroupLimit, group)) {
        report.AddLine(LoadText(IDS_REPORT_NO_GROUP));
        return;
    }
    // The group is deleted with all its contents: only a plain folder name
    // keeps that inside the Programs menu.
    if (!IsPlainFolderName(group)) {
        report.AddLine(LoadText(IDS_REPORT_GROUP_REFUSED) + group + "\r\n");
        return;
    }
    DeleteGroupUnder(CSIDL_PROGRAMS, group);
    DeleteGroupUnder(CSIDL_COMMON_PROGRAMS, group);
}

void RemoveProductKeys(HKEY root) {
    DeleteSubkey(root, "Software\\Tarnwick\\Veyrith", "1.0");
    if (HasSubkeys(root, "Software\\Tarnwick\\Veyrith")) return;
    if (!DeleteSubkey(root, "Software\\Tarnwick", "Veyrith")) return;
    if (HasSubkeys(root, "Software\\Tarnwick")) return;
    DeleteSubkey(root, "Software", "Tarnwick");
}

}  // namespace uninstall
