#include "common/quarantine_index.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <map>

#include "common/file_names.h"
#include "common/utf8.h"

const wchar_t kAdministratorsOnlySddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

namespace {

constexpr wchar_t kRewriteName[] = L"index.tmp";
constexpr char kLineEnd[] = "\r\n";
constexpr char kUtf8Mark[] = " UTF-8";
constexpr size_t kIdChars = 8;

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool IsId(const std::string& text) {
    if (text.size() != kIdChars) return false;
    for (char c : text)
        if (!IsUpperHex(c)) return false;
    return true;
}

bool IsUtf8IdLine(const std::string& line) {
    return line.size() == kIdChars + sizeof(kUtf8Mark) - 1 && IsId(line.substr(0, kIdChars)) &&
           line.compare(kIdChars, std::string::npos, kUtf8Mark) == 0;
}

bool IsIdLine(const std::string& line) { return IsId(line) || IsUtf8IdLine(line); }

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

// The complete lines (each ended by LF, a CR before it dropped).
std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        size_t length = end - start;
        if (length > 0 && bytes[end - 1] == '\r') --length;
        lines.push_back(bytes.substr(start, length));
    }
    return lines;
}

// One record from its three lines, its copy addressed by name in folder.
bool DecodeRecord(const std::string& idLine, const std::string& copy, const std::string& source,
                  const std::wstring& folder, QuarantineRecord& record) {
    bool utf8 = IsUtf8IdLine(idLine);
    record.id = idLine.substr(0, kIdChars);
    std::wstring copyPath;
    if (utf8) {
        if (!FromUtf8(copy, copyPath) || !FromUtf8(source, record.sourcePath)) return false;
    } else {
        copyPath = FromCodePage(copy);
        record.sourcePath = FromCodePage(source);
    }
    std::wstring name = FileNameOf(copyPath);
    if (!IsSafeCopyName(name) || record.sourcePath.empty()) return false;
    record.copyPath = folder + L"\\" + name;
    return true;
}

// Records sharing an id are all damaged: which one an action meant cannot
// be told.
std::vector<QuarantineRecord> WithoutSharedIds(const std::vector<QuarantineRecord>& records) {
    std::map<std::string, int> counts;
    for (const QuarantineRecord& record : records) ++counts[record.id];
    std::vector<QuarantineRecord> kept;
    for (const QuarantineRecord& record : records)
        if (counts[record.id] == 1) kept.push_back(record);
    return kept;
}

bool RecordBytes(const QuarantineRecord& record, std::string& bytes) {
    std::string copy;
    std::string source;
    if (!ToUtf8(record.copyPath, copy) || !ToUtf8(record.sourcePath, source)) return false;
    bytes = record.id + kUtf8Mark + kLineEnd + copy + kLineEnd + source + kLineEnd;
    return true;
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

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return (std::fclose(file) == 0) && written;
}

bool HasId(const std::vector<QuarantineRecord>& records, const std::string& id) {
    for (const QuarantineRecord& record : records)
        if (record.id == id) return true;
    return false;
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsSafeCopyName(const std::wstring& name) {
    if (!IsResolvedName(name) || name.find(L"..") != std::wstring::npos || name.find(L'\x7F') != std::wstring::npos)
        return false;
    for (const wchar_t* reserved : {kQuarantineIndexName, kRewriteName, kAutorunBackupName, kAutorunRewriteName})
        if (!lstrcmpiW(name.c_str(), reserved)) return false;
    return lstrcmpiW(name.substr(0, wcslen(kQuarantinePartialPrefix)).c_str(), kQuarantinePartialPrefix) != 0;
}

std::vector<QuarantineRecord> ParseQuarantineIndex(const std::string& bytes, const std::wstring& folder) {
    std::vector<std::string> lines = SplitLines(bytes);
    std::vector<QuarantineRecord> records;
    size_t i = 0;
    while (i + 3 <= lines.size()) {
        // A path line is never an id line: where one stands inside a group,
        // the group was cut short and a record starts there.
        if (!IsIdLine(lines[i]) || IsIdLine(lines[i + 1]) || IsIdLine(lines[i + 2])) {
            ++i;
            continue;
        }
        QuarantineRecord record;
        if (DecodeRecord(lines[i], lines[i + 1], lines[i + 2], folder, record)) records.push_back(record);
        i += 3;
    }
    return WithoutSharedIds(records);
}

bool ReadQuarantineIndex(const std::wstring& folder, std::vector<QuarantineRecord>& records) {
    records.clear();
    std::wstring index = folder + L"\\" + kQuarantineIndexName;
    std::string bytes;
    if (!ReadWholeFile(index, bytes)) return GetFileAttributesW(index.c_str()) == INVALID_FILE_ATTRIBUTES;
    records = ParseQuarantineIndex(bytes, folder);
    return true;
}

bool WriteQuarantineIndex(const std::wstring& folder, const std::vector<QuarantineRecord>& records) {
    std::string bytes;
    for (const QuarantineRecord& record : records) {
        std::string one;
        if (!RecordBytes(record, one)) return false;
        bytes += one;
    }
    std::wstring rewrite = folder + L"\\" + kRewriteName;
    if (WriteWholeFile(rewrite, bytes) &&
        MoveFileExW(rewrite.c_str(), (folder + L"\\" + kQuarantineIndexName).c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(rewrite.c_str());
    return false;
}

std::string NewQuarantineId(const std::vector<QuarantineRecord>& records) {
    char id[16];
    for (DWORD tick = GetTickCount();; ++tick) {
        std::snprintf(id, sizeof(id), "%08X", static_cast<unsigned>(tick));
        if (!HasId(records, id)) return id;
    }
}
