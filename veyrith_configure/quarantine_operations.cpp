#include "quarantine_operations.h"

#include <windows.h>

#include "common/executable_folder.h"
#include "common/file_names.h"
#include "common/owners.h"
#include "common/path_identity.h"
#include "common/quarantine_index.h"
#include "file_guard.h"
#include "folder_move.h"

namespace {

// Names tried for a backup under a name of the tool's choosing.
constexpr int kFreeNameTries = 1000;

std::wstring InQuarantine(const std::wstring& name) { return ToolQuarantineFolder() + L"\\" + name; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The folder of a full path. A drive's root keeps its backslash: "C:" alone
// is the drive's current folder.
std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    return path.substr(0, slash == 2 ? 3 : slash);
}

// Copies that an interrupted backup left under their partial names.
void RemovePartialCopies(const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    CFindHandle search(FindFirstFileW((folder + L"\\" + kQuarantinePartialPrefix + L"*").c_str(), &found));
    if (!search) return;
    do {
        DeleteThroughHandle(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search.Get(), &found));
}

int IndexOf(const std::vector<QuarantineRecord>& records, const std::wstring& copyPath) {
    for (size_t i = 0; i < records.size(); ++i)
        if (IsSamePath(records[i].copyPath.c_str(), copyPath.c_str())) return static_cast<int>(i);
    return -1;
}

bool IsFreeCopyName(const std::wstring& target, const std::vector<QuarantineRecord>& records) {
    std::wstring name = FileNameOf(target);
    return IsSafeCopyName(name) && IsResolvedPath(target) && IsSamePath(target.c_str(), InQuarantine(name).c_str()) &&
           !Exists(target) && IndexOf(records, target) < 0;
}

// The copy under its partial name, checked and closed to the user.
bool WriteCheckedCopy(const std::wstring& source, const std::wstring& partial) {
    if (!CopyFileW(source.c_str(), partial.c_str(), TRUE)) return false;
    CHandle written;
    return OpensWhereItSays(partial, GENERIC_READ, written) && SameBytes(source, partial) &&
           RestrictToAdministrators(partial);
}

// A source the copy may be made of: a resolved path that opens where it says.
bool IsCopySource(const std::wstring& source) {
    CHandle file;
    return IsResolvedPath(source) && OpensWhereItSays(source, GENERIC_READ, file);
}

// Backs source up as target (a free name in the quarantine) and records it.
bool CopyAndRecord(const std::wstring& source, const std::wstring& target, std::vector<QuarantineRecord>& records) {
    const std::string id = NewQuarantineId(records);
    const std::wstring partial = InQuarantine(kQuarantinePartialPrefix + std::wstring(id.begin(), id.end()));
    if (!WriteCheckedCopy(source, partial) || !MoveFileExW(partial.c_str(), target.c_str(), 0)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    records.push_back(QuarantineRecord{id, target, source});
    if (WriteQuarantineIndex(ToolQuarantineFolder(), records)) return true;
    DeleteFileW(target.c_str());
    return false;
}

// The index's records once the folder is ready and partial copies are gone.
bool ReadyForCopy(std::vector<QuarantineRecord>& records) {
    if (!PrepareQuarantineFolder() || !ReadQuarantineIndex(ToolQuarantineFolder(), records)) return false;
    RemovePartialCopies(ToolQuarantineFolder());
    return true;
}

std::wstring FreeCopyName(const std::wstring& name, const std::vector<QuarantineRecord>& records) {
    if (IsFreeCopyName(InQuarantine(name), records)) return name;
    size_t dot = name.find_last_of(L'.');
    const std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
    const std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    for (int n = 2; n < kFreeNameTries; ++n) {
        std::wstring candidate = stem + L"[" + std::to_wstring(n) + L"]" + extension;
        if (IsFreeCopyName(InQuarantine(candidate), records)) return candidate;
    }
    return std::wstring();
}

bool DropRecord(std::vector<QuarantineRecord>& records, int index) {
    records.erase(records.begin() + index);
    return WriteQuarantineIndex(ToolQuarantineFolder(), records);
}

// Every path of a restore resolves as written: the copy, the target the
// request names and the origin the record names, which are the same file.
bool IsRestorable(const QuarantineRecord& record, const ToolRequest& request) {
    return IsResolvedPath(request.path) && IsResolvedPath(request.target) && IsResolvedPath(record.sourcePath) &&
           IsSamePath(record.sourcePath.c_str(), request.target) && !Exists(record.sourcePath);
}

}  // namespace

std::wstring ToolQuarantineFolder() { return ExecutableFolder() + kQuarantineFolderName; }

bool PrepareQuarantineFolder() {
    const std::wstring folder = ToolQuarantineFolder();
    if (!Exists(folder) && !CreateDirectoryW(folder.c_str(), nullptr)) return false;
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || IsReparsePoint(folder)) return false;
    CHandle handle;
    if (!OpensWhereItSays(folder, FILE_READ_ATTRIBUTES, handle)) return false;
    RestrictToAdministrators(folder);
    return true;
}

int CopyIntoQuarantine(const ToolRequest& request) {
    const std::wstring source = request.path, target = request.target;
    std::vector<QuarantineRecord> records;
    if (!ReadyForCopy(records) || !IsCopySource(source) || !IsFreeCopyName(target, records)) return 0;
    return CopyAndRecord(source, target, records) ? 1 : 0;
}

bool BackUpUnderFreeName(const std::wstring& path, std::wstring& copy) {
    std::vector<QuarantineRecord> records;
    if (!ReadyForCopy(records) || !IsCopySource(path)) return false;
    const std::wstring name = FreeCopyName(FileNameOf(path), records);
    if (name.empty()) return false;
    copy = InQuarantine(name);
    return CopyAndRecord(path, copy, records);
}

int RestoreFromQuarantine(const ToolRequest& request) {
    std::vector<QuarantineRecord> records;
    if (!ReadQuarantineIndex(ToolQuarantineFolder(), records)) return 0;
    int index = IndexOf(records, request.path);
    if (index < 0 || !IsRestorable(records[index], request)) return 0;
    const std::wstring origin = records[index].sourcePath;
    CHandle folder = OpenDestinationFolder(FolderOf(origin));
    CHandle copy = OpenToDelete(records[index].copyPath);
    if (!folder || !copy || !MoveIntoFolder(copy, folder.Get(), FolderOf(origin), FileNameOf(origin))) return 0;
    return DropRecord(records, index) ? 1 : 0;
}

int DeleteFromQuarantine(const ToolRequest& request) {
    std::vector<QuarantineRecord> records;
    if (!IsResolvedPath(request.path) || !ReadQuarantineIndex(ToolQuarantineFolder(), records)) return 0;
    int index = IndexOf(records, request.path);
    if (index < 0) return 0;
    if (Exists(records[index].copyPath) && !DeleteThroughHandle(records[index].copyPath)) return 0;
    return DropRecord(records, index) ? 1 : 0;
}

std::vector<std::wstring> BackupsOf(const std::wstring& path) {
    std::vector<std::wstring> copies;
    std::vector<QuarantineRecord> records;
    if (!IsResolvedPath(path) || !ReadQuarantineIndex(ToolQuarantineFolder(), records)) return copies;
    // A 64-bit program's file in the system folder was backed up through
    // the path by which this 32-bit program reaches it.
    const std::wstring reached = PathFor32BitAccess(path);
    for (const QuarantineRecord& record : records) {
        bool sameSource = IsSamePath(record.sourcePath.c_str(), path.c_str()) ||
                          IsSamePath(record.sourcePath.c_str(), reached.c_str());
        if (sameSource && SameBytes(record.copyPath, reached)) copies.push_back(record.copyPath);
    }
    return copies;
}
