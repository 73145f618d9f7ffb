#include "quarantine/quarantine_store.h"

#include <windows.h>

#include "common/utf8.h"

namespace {

// A copy of a file whose own name may not stand in the folder gets this one.
constexpr wchar_t kFallbackCopyName[] = L"quarantined file";

bool IsIndexName(const std::wstring& name) {
    return !lstrcmpiW(name.c_str(), kQuarantineIndexName) || !lstrcmpiW(name.c_str(), L"index.tmp");
}

}  // namespace

CQuarantineStore::CQuarantineStore(const std::wstring& programFolder) : m_tool(programFolder) {}

std::wstring CQuarantineStore::Folder() const { return m_tool.Folder() + kQuarantineFolderName; }

std::wstring CQuarantineStore::InFolder(const std::wstring& name) const { return Folder() + L"\\" + name; }

// The index's own names count as taken: such a file gets "index[2].dat".
bool CQuarantineStore::NameTaken(const std::wstring& name, const std::vector<QuarantineRecord>& records) const {
    if (IsIndexName(name) || GetFileAttributesW(InFolder(name).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    for (const QuarantineRecord& record : records)
        if (!lstrcmpiW(FileNameOf(record.copyPath).c_str(), name.c_str())) return true;
    return false;
}

// The file's own name when it is free, otherwise the first free
// "stem[n].ext" from n = 2 on: an earlier copy of that name is kept.
std::wstring CQuarantineStore::FreeCopyName(std::wstring name, const std::vector<QuarantineRecord>& records) const {
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

ToolResult CQuarantineStore::QuarantineFile(const wchar_t* sourcePath) const {
    std::wstring source = sourcePath ? sourcePath : L"";
    std::string exact;
    if (source.empty() || !ToUtf8(source, exact)) return ToolResult();
    std::wstring copy = InFolder(FreeCopyName(FileNameOf(source), ReadRecords()));
    return m_tool.Copy(source.c_str(), copy.c_str());
}

std::vector<QuarantineRecord> CQuarantineStore::ReadRecords() const {
    std::vector<QuarantineRecord> records;
    ReadQuarantineIndex(Folder(), records);
    return records;
}

ToolResult CQuarantineStore::Restore(const QuarantineRecord& record) const {
    return m_tool.Move(record.copyPath.c_str(), record.sourcePath.c_str());
}

ToolResult CQuarantineStore::DeleteCopy(const QuarantineRecord& record) const {
    return m_tool.DeleteCopy(record.copyPath.c_str());
}
