#include "common/autorun_backup.h"

#include <sddl.h>

#include <cstdio>
#include <initializer_list>
#include <map>

#include "common/owners.h"
#include "common/quarantine_index.h"
#include "common/tool_request.h"
#include "common/utf8.h"
#include "common/write_all.h"

namespace {

constexpr char kFirstLine[] = "Veyrith autorun backup 1";
constexpr char kLineEnd[] = "\r\n";
constexpr size_t kIdChars = 8;
constexpr DWORD kCurrentUserRoot = 0x80000001;
constexpr DWORD kLocalMachineRoot = 0x80000002;
constexpr char kHex[] = "0123456789ABCDEF";

// The fields of a record after its id line, in their order.
const char* const kFields[] = {"root=", "view=", "key=", "name=", "type=", "data="};
constexpr size_t kFieldCount = sizeof(kFields) / sizeof(kFields[0]);

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsIdLine(const std::string& line) {
    if (line.size() != kIdChars + 2 || line.front() != '[' || line.back() != ']') return false;
    for (size_t i = 1; i <= kIdChars; ++i)
        if (HexValue(line[i]) < 0) return false;
    return true;
}

void AppendHexByte(std::string& text, unsigned char byte) {
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
}

bool DecodeHexByte(const std::string& text, size_t at, unsigned char& byte) {
    if (at + 2 > text.size()) return false;
    int high = HexValue(text[at]), low = HexValue(text[at + 1]);
    if (high < 0 || low < 0) return false;
    byte = static_cast<unsigned char>(high * 16 + low);
    return true;
}

bool NeedsEscape(unsigned char byte) { return byte < 0x20 || byte == 0x7F || byte == '%'; }

// A name as one line: UTF-8, with "%" and the control bytes escaped.
bool EscapedText(const std::wstring& text, std::string& line) {
    std::string utf8;
    if (!ToUtf8(text, utf8)) return false;
    line.clear();
    for (char c : utf8) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (!NeedsEscape(byte)) {
            line += c;
            continue;
        }
        line += '%';
        AppendHexByte(line, byte);
    }
    return true;
}

bool UnescapedText(const std::string& line, std::wstring& text) {
    std::string utf8;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(line[i]);
        if (byte != '%') {
            utf8 += line[i];
            continue;
        }
        if (!DecodeHexByte(line, i + 1, byte)) return false;
        utf8 += static_cast<char>(byte);
        i += 2;
    }
    return FromUtf8(utf8, text);
}

std::string HexBytes(const std::vector<unsigned char>& data) {
    std::string text;
    for (unsigned char byte : data) AppendHexByte(text, byte);
    return text;
}

bool FromHexBytes(const std::string& text, std::vector<unsigned char>& data) {
    if (text.size() % 2) return false;
    data.resize(text.size() / 2);
    for (size_t i = 0; i < data.size(); ++i)
        if (!DecodeHexByte(text, i * 2, data[i])) return false;
    return true;
}

bool DecimalOf(const std::string& text, DWORD& value) {
    if (text.empty() || text.size() > 10) return false;
    unsigned long long number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number > 0xFFFFFFFFull) return false;
    value = static_cast<DWORD>(number);
    return true;
}

const char* RootText(DWORD root) {
    if (root == kCurrentUserRoot) return "HKEY_CURRENT_USER";
    if (root == kLocalMachineRoot) return "HKEY_LOCAL_MACHINE";
    return nullptr;
}

bool RootOf(const std::string& text, DWORD& root) {
    root = 0;
    for (DWORD candidate : {kCurrentUserRoot, kLocalMachineRoot})
        if (text == RootText(candidate)) root = candidate;
    return root != 0;
}

const char* ViewText(DWORD view) {
    if (view == kRequestView32) return "32";
    if (view == kRequestView64) return "64";
    return nullptr;
}

bool ViewOf(const std::string& text, DWORD& view) {
    if (text == "32") view = kRequestView32;
    else if (text == "64") view = kRequestView64;
    else return false;
    return true;
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

// The six field values after an id line, when each line has its field's tag.
bool FieldValues(const std::vector<std::string>& lines, size_t at, std::string (&values)[kFieldCount]) {
    if (at + kFieldCount > lines.size()) return false;
    for (size_t i = 0; i < kFieldCount; ++i) {
        const std::string& line = lines[at + i];
        size_t tag = std::char_traits<char>::length(kFields[i]);
        if (line.compare(0, tag, kFields[i]) != 0) return false;
        values[i] = line.substr(tag);
    }
    return true;
}

bool DecodeRecord(const std::vector<std::string>& lines, size_t at, AutorunBackup& record) {
    std::string values[kFieldCount];
    if (!FieldValues(lines, at + 1, values)) return false;
    record.id = lines[at].substr(1, kIdChars);
    return RootOf(values[0], record.rootKey) && ViewOf(values[1], record.view) &&
           UnescapedText(values[2], record.keyPath) && !record.keyPath.empty() &&
           UnescapedText(values[3], record.valueName) && !record.valueName.empty() &&
           DecimalOf(values[4], record.type) && FromHexBytes(values[5], record.data);
}

bool RecordBytes(const AutorunBackup& record, std::string& bytes) {
    const char* root = RootText(record.rootKey);
    const char* view = ViewText(record.view);
    std::string key, name;
    if (!root || !view || record.id.size() != kIdChars || record.keyPath.empty() || record.valueName.empty() ||
        !EscapedText(record.keyPath, key) || !EscapedText(record.valueName, name))
        return false;
    const std::string values[kFieldCount] = {root, view, key, name, std::to_string(record.type), HexBytes(record.data)};
    bytes = "[" + record.id + "]" + kLineEnd;
    for (size_t i = 0; i < kFieldCount; ++i) bytes += kFields[i] + values[i] + kLineEnd;
    return true;
}

// Records sharing an id are all damaged: which one an action meant cannot
// be told.
std::vector<AutorunBackup> WithoutSharedIds(const std::vector<AutorunBackup>& records) {
    std::map<std::string, int> counts;
    for (const AutorunBackup& record : records) ++counts[record.id];
    std::vector<AutorunBackup> kept;
    for (const AutorunBackup& record : records)
        if (counts[record.id] == 1) kept.push_back(record);
    return kept;
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

// A new file that only SYSTEM and the Administrators may open, never one
// that stood there before.
bool WriteNewRestrictedFile(const std::wstring& path, const std::string& bytes) {
    CLocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnlySddl, SDDL_REVISION_1,
                                                              descriptor.Receive(), nullptr))
        return false;
    SECURITY_ATTRIBUTES security = {sizeof(security), descriptor.Get(), FALSE};
    CHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, &security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAllBytes(file.Get(), bytes) && FlushFileBuffers(file.Get());
}

bool HasId(const std::vector<AutorunBackup>& records, const std::string& id) {
    for (const AutorunBackup& record : records)
        if (record.id == id) return true;
    return false;
}

}  // namespace

bool ParseAutorunBackups(const std::string& bytes, std::vector<AutorunBackup>& records) {
    records.clear();
    std::vector<std::string> lines = SplitLines(bytes);
    if (lines.empty() || lines[0] != kFirstLine) return false;
    for (size_t i = 1; i < lines.size();) {
        AutorunBackup record;
        if (!IsIdLine(lines[i]) || !DecodeRecord(lines, i, record)) {
            ++i;
            continue;
        }
        records.push_back(record);
        i += 1 + kFieldCount;
    }
    records = WithoutSharedIds(records);
    return true;
}

bool ReadAutorunBackups(const std::wstring& folder, std::vector<AutorunBackup>& records) {
    records.clear();
    const std::wstring path = folder + L"\\" + kAutorunBackupName;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    return ParseAutorunBackups(bytes, records);
}

bool WriteAutorunBackups(const std::wstring& folder, const std::vector<AutorunBackup>& records) {
    std::string bytes = std::string(kFirstLine) + kLineEnd;
    for (const AutorunBackup& record : records) {
        std::string one;
        if (!RecordBytes(record, one)) return false;
        bytes += one;
    }
    const std::wstring rewrite = folder + L"\\" + kAutorunRewriteName;
    // A rewrite that an interrupted run left goes first: the new one is made
    // with the quarantine's descriptor, never opened over an old file.
    DeleteFileW(rewrite.c_str());
    if (WriteNewRestrictedFile(rewrite, bytes) &&
        MoveFileExW(rewrite.c_str(), (folder + L"\\" + kAutorunBackupName).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(rewrite.c_str());
    return false;
}

std::string NewAutorunBackupId(const std::vector<AutorunBackup>& records) {
    char id[16];
    for (DWORD tick = GetTickCount();; ++tick) {
        std::snprintf(id, sizeof(id), "%08X", static_cast<unsigned>(tick));
        if (!HasId(records, id)) return id;
    }
}
