#include "autorun_removal.h"

#include <vector>

#include "common/autorun_backup.h"
#include "common/autorun_places.h"
#include "common/file_names.h"
#include "common/owners.h"
#include "file_guard.h"
#include "quarantine_operations.h"

namespace {

// The two roots that autorun registry entries live under, as stored.
constexpr DWORD kCurrentUserRoot = 0x80000001;
constexpr DWORD kLocalMachineRoot = 0x80000002;
constexpr wchar_t kLinkValueName[] = L"SymbolicLinkValue";

// The view a request names; false for any other value.
bool ViewOf(DWORD requested, REGSAM& view) {
    if (requested == kRequestView32) view = 0;
    else if (requested == kRequestView64) view = KEY_WOW64_64KEY;
    else return false;
    return true;
}

// A registry link: a key that holds the REG_LINK value "SymbolicLinkValue".
// Opened as the link, that value is what it holds.
bool IsLinkKey(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, kLinkValueName, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

// Opens one part below parent as itself, never as what a link leads to
// (REG_OPTION_OPEN_LINK, where the system takes it).
LONG OpenPart(HKEY parent, const std::wstring& name, REGSAM access, CRegistryKey& key) {
    LONG status = RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, key.Receive());
    if (status == ERROR_INVALID_PARAMETER) status = RegOpenKeyExW(parent, name.c_str(), 0, access, key.Receive());
    return status;
}

// Opens path below root one part at a time, each in the view, the last with
// access as well; false when a part is empty, cannot be opened or is a link.
bool OpenWithoutLinks(HKEY root, const std::wstring& path, REGSAM view, REGSAM access, CRegistryKey& key) {
    CRegistryKey parent;
    HKEY at = root;
    for (size_t start = 0;;) {
        size_t end = path.find(L'\\', start);
        const bool last = end == std::wstring::npos;
        const std::wstring name = path.substr(start, last ? end : end - start);
        if (name.empty() || OpenPart(at, name, KEY_QUERY_VALUE | view | (last ? access : 0), key) != ERROR_SUCCESS ||
            IsLinkKey(key.Get()))
            return false;
        if (last) return true;
        parent = std::move(key);
        at = parent.Get();
        start = end + 1;
    }
}

// The value's type and bytes, read whole.
bool ReadValue(HKEY key, const wchar_t* name, DWORD& type, std::vector<unsigned char>& data) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        data.assign(size, 0);
        LONG status = RegQueryValueExW(key, name, nullptr, &type, data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return true;
        }
        if (status != ERROR_MORE_DATA) return false;
    }
    return false;
}

// Adds the record of the value to the record file; records gets the file's
// records as they were, to be written back when the removal fails.
bool KeepRecord(const ToolRequest& request, HKEY key, std::vector<AutorunBackup>& records) {
    AutorunBackup record;
    record.rootKey = request.rootKey;
    record.view = request.view;
    record.keyPath = request.path;
    record.valueName = request.valueName;
    if (!ReadValue(key, request.valueName, record.type, record.data)) return false;
    const std::wstring folder = ToolQuarantineFolder();
    if (!PrepareQuarantineFolder() || !ReadAutorunBackups(folder, records)) return false;
    record.id = NewAutorunBackupId(records);
    std::vector<AutorunBackup> kept = records;
    kept.push_back(record);
    return WriteAutorunBackups(folder, kept);
}

int RemoveRunValue(const ToolRequest& request) {
    // Autorun entries live only under these two roots; any other value
    // would be used as whatever key handle of this process it happens to be.
    if (request.rootKey != kCurrentUserRoot && request.rootKey != kLocalMachineRoot) return 0;
    HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(request.rootKey));
    REGSAM view = 0;
    if (!IsRunKeyPlace(root, request.path) || !ViewOf(request.view, view) || !request.valueName[0]) return 0;
    CRegistryKey key;
    std::vector<AutorunBackup> before;
    if (!OpenWithoutLinks(root, request.path, view, KEY_SET_VALUE, key) || !KeepRecord(request, key.Get(), before))
        return 0;
    if (RegDeleteValueW(key.Get(), request.valueName) == ERROR_SUCCESS) return 1;
    WriteAutorunBackups(ToolQuarantineFolder(), before);
    return 0;
}

int RemoveStartupShortcut(const ToolRequest& request) {
    const std::wstring path = request.path;
    if (!IsResolvedPath(path) || !IsStartupShortcutPlace(request.path) || !NoLinkOnTheWay(path)) return 0;
    std::wstring copy;
    if (!BackUpUnderFreeName(path, copy)) return 0;
    return DeleteWhenBytesOf(path, {copy}) ? 1 : 0;
}

}  // namespace

int RemoveAutorunEntry(const ToolRequest& request) {
    if (request.id == 1) return RemoveRunValue(request);
    if (request.id == 2) return RemoveStartupShortcut(request);
    return 1;
}
