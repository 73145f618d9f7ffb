#include "quarantine/quarantine_store.h"

#include <windows.h>

#include <cstdio>

#include "tool/tool_client.h"

namespace {

constexpr const char kFolderName[] = "Quarantined";
constexpr const char kIndexName[] = "index.dat";
constexpr const char kRewriteName[] = "index.tmp";
constexpr const char kLineEnd[] = "\r\n";

std::string g_programFolder;

std::string ProgramFolder() {
    if (!g_programFolder.empty()) return g_programFolder;
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of('\\') + 1);
}

std::string InFolder(const std::string& name) { return QuarantineFolder() + "\\" + name; }

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The index's own names are never handed to a copy.
bool NameTaken(const std::string& name) {
    return lstrcmpiA(name.c_str(), kIndexName) == 0 || lstrcmpiA(name.c_str(), kRewriteName) == 0 ||
           Exists(InFolder(name));
}

// The file's own name when it is free in the folder, otherwise the first
// free "stem[n].ext" from n = 2 on: an earlier copy of that name is kept.
std::string FreeCopyName(const std::string& name) {
    if (!NameTaken(name)) return name;
    size_t dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        std::string candidate = stem + "[" + std::to_string(n) + "]" + extension;
        if (!NameTaken(candidate)) return candidate;
    }
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    bool complete = !std::ferror(file);
    std::fclose(file);
    return complete;
}

// The index's records: complete lines (each ended by LF, a CR before it
// dropped) taken three at a time; a shorter last group, or a last line
// without its line end, is no record.
std::vector<QuarantineRecord> ParseIndex(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        size_t length = end - start;
        if (length > 0 && bytes[end - 1] == '\r') --length;
        lines.push_back(bytes.substr(start, length));
    }
    std::vector<QuarantineRecord> records;
    for (size_t i = 0; i + 3 <= lines.size(); i += 3) records.push_back({lines[i], lines[i + 1], lines[i + 2]});
    return records;
}

std::string RecordBytes(const QuarantineRecord& record) {
    return record.id + kLineEnd + record.copyPath + kLineEnd + record.sourcePath + kLineEnd;
}

bool WriteBytes(FILE* file, const std::string& bytes) {
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return (std::fclose(file) == 0) && written;
}

// Writes the records to "index.tmp" and puts it in the place of "index.dat"
// in one move, so the index is either the old one or the new one.
bool RewriteIndex(const std::vector<QuarantineRecord>& records) {
    std::string bytes;
    for (const QuarantineRecord& record : records) bytes += RecordBytes(record);
    std::string rewrite = InFolder(kRewriteName);
    FILE* file = std::fopen(rewrite.c_str(), "wb");
    if (!file) return false;
    if (WriteBytes(file, bytes) &&
        MoveFileExA(rewrite.c_str(), InFolder(kIndexName).c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileA(rewrite.c_str());
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

// Appends the record for copyPath. An index that ends in an incomplete
// record is first cut back to its complete records, so the new one starts a
// group of its own.
bool AppendRecord(const std::string& copyPath, const std::string& sourcePath) {
    std::string bytes;
    std::string index = InFolder(kIndexName);
    if (!ReadWholeFile(index, bytes) && Exists(index)) return false;
    std::vector<QuarantineRecord> records = ParseIndex(bytes);
    size_t complete = 0;
    for (const QuarantineRecord& record : records) complete += RecordBytes(record).size();
    if (complete != bytes.size() && !RewriteIndex(records)) return false;
    FILE* file = std::fopen(index.c_str(), "ab");
    return file && WriteBytes(file, RecordBytes({NewId(records), copyPath, sourcePath}));
}

}  // namespace

void SetQuarantineProgramFolder(const std::string& programFolder) {
    g_programFolder = programFolder;
    if (!g_programFolder.empty() && g_programFolder.back() != '\\') g_programFolder += '\\';
}

std::string QuarantineFolder() { return ProgramFolder() + kFolderName; }

bool QuarantineFile(const char* sourcePath) {
    std::string source = sourcePath ? sourcePath : "";
    CreateDirectoryA(QuarantineFolder().c_str(), nullptr);
    std::string copyPath = InFolder(FreeCopyName(FileNamePart(source)));
    if (!CopyFileA(source.c_str(), copyPath.c_str(), FALSE) && !ToolCopy(source.c_str(), copyPath.c_str()))
        return false;
    return AppendRecord(copyPath, source);
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

bool RestoreQuarantinedFile(const std::string& copyPath, const std::string& sourcePath) {
    return MoveFileA(copyPath.c_str(), sourcePath.c_str()) || ToolMove(copyPath.c_str(), sourcePath.c_str());
}

bool DeleteQuarantinedCopy(const std::string& copyPath) { return DeleteFileA(copyPath.c_str()) != FALSE; }
