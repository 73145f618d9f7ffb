#include "quarantine/quarantine_store.h"

#include <windows.h>

#include <cstdio>

#include "common/executable_folder.h"
#include "findings/utf8.h"
#include "tool/tool_client.h"

namespace {

constexpr const wchar_t kFolderName[] = L"Quarantined";
constexpr const wchar_t kIndexName[] = L"index.dat";
constexpr const wchar_t kRewriteName[] = L"index.tmp";
constexpr const char kLineEnd[] = "\r\n";
// What follows the id in a record whose paths are UTF-8.
constexpr const char kUtf8Mark[] = " UTF-8";
constexpr size_t kIdChars = 8;

std::wstring g_programFolder;

std::wstring ProgramFolder() { return g_programFolder.empty() ? ExecutableFolder() : g_programFolder; }

std::wstring InFolder(const std::wstring& name) { return QuarantineFolder() + L"\\" + name; }

std::wstring FileNamePart(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The index's own names are never handed to a copy.
bool NameTaken(const std::wstring& name) {
    return lstrcmpiW(name.c_str(), kIndexName) == 0 || lstrcmpiW(name.c_str(), kRewriteName) == 0 ||
           Exists(InFolder(name));
}

// The file's own name when it is free in the folder, otherwise the first
// free "stem[n].ext" from n = 2 on: an earlier copy of that name is kept.
std::wstring FreeCopyName(const std::wstring& name) {
    if (!NameTaken(name)) return name;
    size_t dot = name.find_last_of(L'.');
    std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
    std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    for (int n = 2;; ++n) {
        std::wstring candidate = stem + L"[" + std::to_wstring(n) + L"]" + extension;
        if (!NameTaken(candidate)) return candidate;
    }
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    bool complete = !std::ferror(file);
    std::fclose(file);
    return complete;
}

// A path of a record written by an earlier version: text in the system's
// ANSI code page, read the way that version's calls read it.
std::wstring FromCodePage(const std::string& text) {
    int length = static_cast<int>(text.size());
    int chars = length ? MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0) : 0;
    if (chars <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], chars);
    return wide;
}

// One record from its three lines; false for a UTF-8 record whose bytes are
// not UTF-8.
bool DecodeRecord(const std::string& idLine, const std::string& copy, const std::string& source,
                  QuarantineRecord& record) {
    bool utf8 = idLine.size() == kIdChars + sizeof(kUtf8Mark) - 1 &&
                idLine.compare(kIdChars, std::string::npos, kUtf8Mark) == 0;
    record.id = utf8 ? idLine.substr(0, kIdChars) : idLine;
    if (utf8) return FromUtf8(copy, record.copyPath) && FromUtf8(source, record.sourcePath);
    record.copyPath = FromCodePage(copy);
    record.sourcePath = FromCodePage(source);
    return true;
}

// The index's lines: complete lines (each ended by LF, a CR before it
// dropped); completeBytes is where the last complete group of three ends.
std::vector<std::string> SplitLines(const std::string& bytes, size_t& completeBytes) {
    std::vector<std::string> lines;
    completeBytes = 0;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        size_t length = end - start;
        if (length > 0 && bytes[end - 1] == '\r') --length;
        lines.push_back(bytes.substr(start, length));
        if (lines.size() % 3 == 0) completeBytes = end + 1;
    }
    return lines;
}

// The index's records: lines taken three at a time; a shorter last group, or
// a last line without its line end, is no record.
std::vector<QuarantineRecord> ParseIndex(const std::string& bytes, size_t& completeBytes) {
    std::vector<std::string> lines = SplitLines(bytes, completeBytes);
    std::vector<QuarantineRecord> records;
    for (size_t i = 0; i + 3 <= lines.size(); i += 3) {
        QuarantineRecord record;
        if (DecodeRecord(lines[i], lines[i + 1], lines[i + 2], record)) records.push_back(record);
    }
    return records;
}

std::vector<QuarantineRecord> ParseIndex(const std::string& bytes) {
    size_t completeBytes = 0;
    return ParseIndex(bytes, completeBytes);
}

// The record in the UTF-8 form; false when a path has no exact UTF-8 form.
bool RecordBytes(const QuarantineRecord& record, std::string& bytes) {
    std::string copy;
    std::string source;
    if (!ToUtf8(record.copyPath, copy) || !ToUtf8(record.sourcePath, source)) return false;
    bytes = record.id + kUtf8Mark + kLineEnd + copy + kLineEnd + source + kLineEnd;
    return true;
}

bool WriteBytes(FILE* file, const std::string& bytes) {
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return (std::fclose(file) == 0) && written;
}

// Writes the records to "index.tmp" and puts it in the place of "index.dat"
// in one move, so the index is either the old one or the new one.
bool RewriteIndex(const std::vector<QuarantineRecord>& records) {
    std::string bytes;
    for (const QuarantineRecord& record : records) {
        std::string one;
        if (!RecordBytes(record, one)) return false;
        bytes += one;
    }
    std::wstring rewrite = InFolder(kRewriteName);
    FILE* file = _wfopen(rewrite.c_str(), L"wb");
    if (!file) return false;
    if (WriteBytes(file, bytes) &&
        MoveFileExW(rewrite.c_str(), InFolder(kIndexName).c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(rewrite.c_str());
    return false;
}

bool HasId(const std::vector<QuarantineRecord>& records, const std::string& id) {
    for (const QuarantineRecord& record : records)
        if (record.id == id) return true;
    return false;
}

// The tick count now as 8 hex digits; a count that an earlier record already
// carries is stepped on, so no two records share an id.
std::string NewId(const std::vector<QuarantineRecord>& records) {
    char id[16];
    for (DWORD tick = GetTickCount();; ++tick) {
        std::snprintf(id, sizeof(id), "%08X", static_cast<unsigned>(tick));
        if (!HasId(records, id)) return id;
    }
}

// Appends the record. An index that ends in an incomplete record is first
// cut back to its complete records, so the new one starts a group of its own.
bool AppendRecord(QuarantineRecord record) {
    std::string bytes;
    std::wstring index = InFolder(kIndexName);
    if (!ReadWholeFile(index, bytes) && Exists(index)) return false;
    size_t complete = 0;
    std::vector<QuarantineRecord> records = ParseIndex(bytes, complete);
    if (complete != bytes.size() && !RewriteIndex(records)) return false;
    record.id = NewId(records);
    std::string recordBytes;
    if (!RecordBytes(record, recordBytes)) return false;
    FILE* file = _wfopen(index.c_str(), L"ab");
    return file && WriteBytes(file, recordBytes);
}

}  // namespace

void SetQuarantineProgramFolder(const std::wstring& programFolder) {
    g_programFolder = programFolder;
    if (!g_programFolder.empty() && g_programFolder.back() != L'\\') g_programFolder += L'\\';
}

std::wstring QuarantineFolder() { return ProgramFolder() + kFolderName; }

bool QuarantineFile(const wchar_t* sourcePath) {
    std::wstring source = sourcePath ? sourcePath : L"";
    CreateDirectoryW(QuarantineFolder().c_str(), nullptr);
    QuarantineRecord record{std::string(), InFolder(FreeCopyName(FileNamePart(source))), source};
    // A record that the index cannot hold exactly is refused before any copy
    // is made (the id is given when the record is appended).
    std::string recordBytes;
    if (!RecordBytes(record, recordBytes)) return false;
    if (!CopyFileW(source.c_str(), record.copyPath.c_str(), FALSE) &&
        !ToolCopy(source.c_str(), record.copyPath.c_str()))
        return false;
    return AppendRecord(record);
}

std::vector<QuarantineRecord> ReadQuarantineRecords() {
    std::string bytes;
    if (!ReadWholeFile(InFolder(kIndexName), bytes)) return {};
    return ParseIndex(bytes);
}

bool RemoveQuarantineRecord(const std::string& id) {
    std::string bytes;
    if (!ReadWholeFile(InFolder(kIndexName), bytes)) return false;
    std::vector<QuarantineRecord> kept;
    for (const QuarantineRecord& record : ParseIndex(bytes))
        if (record.id != id) kept.push_back(record);
    return RewriteIndex(kept);
}

bool RestoreQuarantinedFile(const std::wstring& copyPath, const std::wstring& sourcePath) {
    return MoveFileW(copyPath.c_str(), sourcePath.c_str()) || ToolMove(copyPath.c_str(), sourcePath.c_str());
}

bool DeleteQuarantinedCopy(const std::wstring& copyPath) { return DeleteFileW(copyPath.c_str()) != FALSE; }
