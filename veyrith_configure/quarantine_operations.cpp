#include "quarantine_operations.h"

#include <windows.h>

#include <vector>

#include "common/executable_folder.h"
#include "common/owners.h"
#include "common/path_identity.h"
#include "common/quarantine_index.h"
#include "file_guard.h"

namespace {

std::wstring InQuarantine(const std::wstring& name) { return ToolQuarantineFolder() + L"\\" + name; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The folder exists, is no junction, and only administrators may write it.
bool PrepareFolder(const std::wstring& folder) {
    if (!Exists(folder) && !CreateDirectoryW(folder.c_str(), nullptr)) return false;
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || IsReparsePoint(folder)) return false;
    CHandle handle;
    if (!OpensWhereItSays(folder, FILE_READ_ATTRIBUTES, handle)) return false;
    RestrictToAdministrators(folder);
    return true;
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
    return IsSafeCopyName(name) && IsSamePath(target.c_str(), InQuarantine(name).c_str()) && !Exists(target) &&
           IndexOf(records, target) < 0;
}

// The copy under its partial name, checked and closed to the user.
bool WriteCheckedCopy(const std::wstring& source, const std::wstring& partial) {
    if (!CopyFileW(source.c_str(), partial.c_str(), TRUE)) return false;
    CHandle written;
    return OpensWhereItSays(partial, GENERIC_READ, written) && SameBytes(source, partial) &&
           RestrictToAdministrators(partial);
}

bool DropRecord(std::vector<QuarantineRecord>& records, int index) {
    records.erase(records.begin() + index);
    return WriteQuarantineIndex(ToolQuarantineFolder(), records);
}

}  // namespace

std::wstring ToolQuarantineFolder() { return ExecutableFolder() + kQuarantineFolderName; }

int CopyIntoQuarantine(const ToolRequest& request) {
    const std::wstring folder = ToolQuarantineFolder();
    const std::wstring source = request.path, target = request.target;
    std::vector<QuarantineRecord> records;
    if (!PrepareFolder(folder) || !ReadQuarantineIndex(folder, records)) return 0;
    RemovePartialCopies(folder);
    if (!IsFreeCopyName(target, records)) return 0;
    const std::string id = NewQuarantineId(records);
    const std::wstring partial = InQuarantine(kQuarantinePartialPrefix + std::wstring(id.begin(), id.end()));
    if (!WriteCheckedCopy(source, partial) || !MoveFileExW(partial.c_str(), target.c_str(), 0)) {
        DeleteFileW(partial.c_str());
        return 0;
    }
    records.push_back(QuarantineRecord{id, target, source});
    if (WriteQuarantineIndex(folder, records)) return 1;
    DeleteFileW(target.c_str());
    return 0;
}

int RestoreFromQuarantine(const ToolRequest& request) {
    std::vector<QuarantineRecord> records;
    if (!ReadQuarantineIndex(ToolQuarantineFolder(), records)) return 0;
    int index = IndexOf(records, request.path);
    if (index < 0 || !IsSamePath(records[index].sourcePath.c_str(), request.target) || Exists(request.target))
        return 0;
    const std::wstring copy = records[index].copyPath;
    CHandle file;
    if (!OpensWhereItSays(copy, GENERIC_READ, file)) return 0;
    file.Reset();
    if (!MoveFileExW(copy.c_str(), records[index].sourcePath.c_str(), MOVEFILE_COPY_ALLOWED)) return 0;
    return DropRecord(records, index) ? 1 : 0;
}

int DeleteFromQuarantine(const ToolRequest& request) {
    std::vector<QuarantineRecord> records;
    if (!ReadQuarantineIndex(ToolQuarantineFolder(), records)) return 0;
    int index = IndexOf(records, request.path);
    if (index < 0) return 0;
    if (Exists(records[index].copyPath) && !DeleteThroughHandle(records[index].copyPath)) return 0;
    return DropRecord(records, index) ? 1 : 0;
}

bool HasBackup(const std::wstring& path) {
    std::vector<QuarantineRecord> records;
    if (!ReadQuarantineIndex(ToolQuarantineFolder(), records)) return false;
    // A 64-bit program's file in the system folder was backed up through
    // the path by which this 32-bit program reaches it.
    const std::wstring reached = PathFor32BitAccess(path);
    for (const QuarantineRecord& record : records) {
        bool sameSource = IsSamePath(record.sourcePath.c_str(), path.c_str()) ||
                          IsSamePath(record.sourcePath.c_str(), reached.c_str());
        if (sameSource && SameBytes(record.copyPath, reached)) return true;
    }
    return false;
}
