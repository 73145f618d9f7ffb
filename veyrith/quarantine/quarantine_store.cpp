#include "quarantine/quarantine_store.h"

#include <windows.h>

#include "common/executable_folder.h"
#include "common/utf8.h"
#include "tool/tool_client.h"

namespace {

// A copy of a file whose own name may not stand in the folder gets this one.
constexpr wchar_t kFallbackCopyName[] = L"quarantined file";

std::wstring g_programFolder;

std::wstring ProgramFolder() { return g_programFolder.empty() ? ExecutableFolder() : g_programFolder; }

std::wstring InFolder(const std::wstring& name) { return QuarantineFolder() + L"\\" + name; }

bool IsIndexName(const std::wstring& name) {
    return !lstrcmpiW(name.c_str(), kQuarantineIndexName) || !lstrcmpiW(name.c_str(), L"index.tmp");
}

// The index's own names count as taken: such a file gets "index[2].dat".
bool NameTaken(const std::wstring& name, const std::vector<QuarantineRecord>& records) {
    if (IsIndexName(name) || GetFileAttributesW(InFolder(name).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    for (const QuarantineRecord& record : records)
        if (!lstrcmpiW(FileNameOf(record.copyPath).c_str(), name.c_str())) return true;
    return false;
}

// The file's own name when it is free, otherwise the first free
// "stem[n].ext" from n = 2 on: an earlier copy of that name is kept.
std::wstring FreeCopyName(std::wstring name, const std::vector<QuarantineRecord>& records) {
    if (!IsSafeCopyName(name) && !IsIndexName(name)) name = kFallbackCopyName;
    if (!NameTaken(name, records)) return name;
    size_t dot = name.find_last_of(L'.');
    std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
    std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    for (int n = 2;; ++n) {
        std::wstring candidate = stem + L"[" + std::to_wstring(n) + L"]" + extension;
        if (!NameTaken(candidate, records)) return candidate;
    }
}

}  // namespace

void SetQuarantineProgramFolder(const std::wstring& programFolder) {
    g_programFolder = programFolder;
    if (!g_programFolder.empty() && g_programFolder.back() != L'\\') g_programFolder += L'\\';
}

std::wstring QuarantineFolder() { return ProgramFolder() + kQuarantineFolderName; }

bool QuarantineFile(const wchar_t* sourcePath) {
    std::wstring source = sourcePath ? sourcePath : L"";
    std::string exact;
    if (source.empty() || !ToUtf8(source, exact)) return false;
    std::wstring copy = InFolder(FreeCopyName(FileNameOf(source), ReadQuarantineRecords()));
    return ToolCopy(source.c_str(), copy.c_str());
}

std::vector<QuarantineRecord> ReadQuarantineRecords() {
    std::vector<QuarantineRecord> records;
    ReadQuarantineIndex(QuarantineFolder(), records);
    return records;
}

bool RestoreQuarantinedFile(const QuarantineRecord& record) {
    return ToolMove(record.copyPath.c_str(), record.sourcePath.c_str());
}

bool DeleteQuarantinedCopy(const QuarantineRecord& record) { return ToolDeleteCopy(record.copyPath.c_str()); }
