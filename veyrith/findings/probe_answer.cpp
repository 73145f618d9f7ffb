#include "findings/probe_answer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "common/utf8.h"

namespace {

const char kSelfTestTag[] = "selftest";
const char kModuleTag[] = "module";
const char kRecordTag[] = "record";
const char kEndTag[] = "end";

constexpr size_t kRecordFields = 12;  // the tag and eleven facts
constexpr size_t kModulePathChars = MAX_PATH - 1;
// Beyond this an answer is no answer of ours (the count fields stay small).
constexpr unsigned long kMaxCount = 1000000;
constexpr unsigned long kMaxStages = (1ul << kProbeStageBits) - 1;

// ---- Writing ----

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// "\uXXXX" for a code unit that UTF-8 cannot carry.
void AppendUnitEscape(std::wstring& out, wchar_t unit) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

// The escape of a character that would end a field or a line; null for
// every other character.
const wchar_t* ControlEscape(wchar_t c) {
    switch (c) {
        case L'\\': return L"\\\\";
        case L'\t': return L"\\t";
        case L'\n': return L"\\n";
        case L'\r': return L"\\r";
        default: return nullptr;
    }
}

// Backslash, tab, line feed and carriage return are written as \\ \t \n \r,
// so every field stays on its line and between its tabs; a surrogate without
// its partner (a file name may hold one) as \uXXXX. The rest goes as UTF-8.
std::string Escaped(const wchar_t* text) {
    std::wstring out;
    for (const wchar_t* c = text; *c; ++c) {
        if (const wchar_t* escape = ControlEscape(*c)) {
            out += escape;
        } else if (IsHighSurrogate(*c) && IsLowSurrogate(c[1])) {
            out += *c;
            out += *++c;
        } else if (IsHighSurrogate(*c) || IsLowSurrogate(*c)) {
            AppendUnitEscape(out, *c);
        } else {
            out += *c;
        }
    }
    std::string utf8;
    ToUtf8(out, utf8);
    return utf8;
}

std::string Number(unsigned long value) {
    char text[16];
    snprintf(text, sizeof(text), "%lu", value);
    return text;
}

// A predefined root key is a small negative value as a handle (0x80000001 on
// 32 bits, its sign extension on 64 bits): its low 32 bits say which it is.
std::string RootKeyText(HKEY key) {
    char text[16];
    snprintf(text, sizeof(text), "%08lX",
             static_cast<unsigned long>(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(key))));
    return text;
}

// The creation time as 16 hexadecimal digits, high part first.
std::string TimeText(const FILETIME& time) {
    char text[24];
    snprintf(text, sizeof(text), "%08lX%08lX", static_cast<unsigned long>(time.dwHighDateTime),
             static_cast<unsigned long>(time.dwLowDateTime));
    return text;
}

bool HasCreationTime(const CListItemState& record) {
    return record.m_ftCreated.dwLowDateTime || record.m_ftCreated.dwHighDateTime;
}

std::string RecordLine(const CListItemState& record) {
    const CAutoRunInfo& autoRun = record.m_autoRun;
    return std::string(kRecordTag) + '\t' + Escaped(record.m_szPath) + '\t' +
           (record.m_bVisible ? "1" : "0") + '\t' + Escaped(record.m_szDescription) + '\t' +
           Number(record.m_dwProcessId) + '\t' + (record.m_bSameFolder ? "1" : "0") + '\t' +
           Number(static_cast<unsigned long>(autoRun.m_nType)) + '\t' +
           Escaped(autoRun.m_szLocation) + '\t' + Escaped(autoRun.m_szProgram) + '\t' +
           RootKeyText(autoRun.m_hRootKey) + '\t' + Escaped(autoRun.m_szValueName) + '\t' +
           TimeText(record.m_ftCreated) + '\n';
}

// ---- Reading ----

bool ParseUnitEscape(const std::wstring& raw, size_t at, wchar_t& unit) {
    if (raw.size() - at < 4) return false;
    unsigned value = 0;
    for (size_t i = at; i < at + 4; ++i) {
        wchar_t c = raw[i];
        unsigned digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : 16;
        if (digit > 15) return false;
        value = value * 16 + digit;
    }
    unit = static_cast<wchar_t>(value);
    return IsHighSurrogate(unit) || IsLowSurrogate(unit);
}

// A field's UTF-8, decoded exactly, with its escapes undone.
bool Unescaped(const std::string& utf8, std::wstring& out) {
    out.clear();
    std::wstring raw;
    if (!FromUtf8(utf8, raw)) return false;
    for (size_t i = 0; i < raw.size(); ++i) {
        wchar_t c = raw[i];
        if (c == L'\0' || c == L'\r') return false;
        if (c != L'\\') {
            out += c;
            continue;
        }
        if (++i == raw.size()) return false;
        wchar_t unit = 0;
        switch (raw[i]) {
            case L'\\': out += L'\\'; break;
            case L't': out += L'\t'; break;
            case L'n': out += L'\n'; break;
            case L'r': out += L'\r'; break;
            case L'u':
                if (!ParseUnitEscape(raw, i + 1, unit)) return false;
                out += unit;
                i += 4;
                break;
            default: return false;
        }
    }
    return true;
}

// The unescaped fields of one line, split at its tabs.
bool SplitFields(const std::string& line, std::vector<std::wstring>& fields) {
    fields.clear();
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        std::wstring field;
        if (!Unescaped(line.substr(start, tab == std::string::npos ? tab : tab - start), field))
            return false;
        fields.push_back(field);
        if (tab == std::string::npos) return true;
        start = tab + 1;
    }
}

// A field that must be plain ASCII (a tag, a number, a flag); a text that
// matches none of them for any other field.
std::string Ascii(const std::wstring& field) {
    std::string text;
    for (wchar_t c : field) text += c < 0x80 ? static_cast<char>(c) : '\x7F';
    return text;
}

bool ParseDecimal(const std::string& text, unsigned long maxValue, unsigned long& value) {
    if (text.empty() || text.size() > 10) return false;
    unsigned long long total = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        total = total * 10 + static_cast<unsigned>(c - '0');
    }
    if (total > maxValue) return false;
    value = static_cast<unsigned long>(total);
    return true;
}

bool ParseFlag(const std::string& text, BOOL& flag) {
    if (text != "0" && text != "1") return false;
    flag = text == "1" ? TRUE : FALSE;
    return true;
}

bool IsHexNumber(const std::string& text, size_t digits) {
    return text.size() == digits && text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// A creation time is required and never zero: without it a row could not
// be told from a later process that got the same id.
bool ParseTime(const std::string& text, FILETIME& time) {
    if (!IsHexNumber(text, 16)) return false;
    time.dwHighDateTime = static_cast<DWORD>(strtoul(text.substr(0, 8).c_str(), nullptr, 16));
    time.dwLowDateTime = static_cast<DWORD>(strtoul(text.substr(8).c_str(), nullptr, 16));
    return time.dwHighDateTime || time.dwLowDateTime;
}

bool ParseRootKey(const std::string& text, HKEY& key) {
    if (!IsHexNumber(text, 8)) return false;
    DWORD value = static_cast<DWORD>(strtoul(text.c_str(), nullptr, 16));
    key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(value)));
    return true;
}

// Copies a field into a record field of `size` characters with its zero.
template <size_t size>
bool CopyField(const std::wstring& value, wchar_t (&dest)[size]) {
    if (value.size() >= size || value.find(L'\0') != std::wstring::npos) return false;
    wmemcpy(dest, value.c_str(), value.size() + 1);
    return true;
}

bool ParseRecord(const std::vector<std::wstring>& f, CListItemState& record) {
    record = CListItemState{};
    CAutoRunInfo& autoRun = record.m_autoRun;
    unsigned long processId = 0;
    unsigned long type = 0;
    bool ok = f.size() == kRecordFields && CopyField(f[1], record.m_szPath) &&
              ParseFlag(Ascii(f[2]), record.m_bVisible) && CopyField(f[3], record.m_szDescription) &&
              ParseDecimal(Ascii(f[4]), 0xFFFFFFFFul, processId) &&
              ParseFlag(Ascii(f[5]), record.m_bSameFolder) &&
              ParseDecimal(Ascii(f[6]), AUTORUN_WININI, type) && CopyField(f[7], autoRun.m_szLocation) &&
              CopyField(f[8], autoRun.m_szProgram) && ParseRootKey(Ascii(f[9]), autoRun.m_hRootKey) &&
              CopyField(f[10], autoRun.m_szValueName) && ParseTime(Ascii(f[11]), record.m_ftCreated);
    if (!ok) return false;
    record.m_dwProcessId = processId;
    autoRun.m_nType = static_cast<int>(type);
    ApplyAlertLevel(record);
    return true;
}

// "VEYRITH-PROBE64 <version>": PROBE_BAD_ANSWER when the line is no header
// at all, PROBE_WRONG_VERSION for a header of another version.
bool ParseHeader(const std::string& line, ProbeOutcome& outcome) {
    std::string prefix = std::string(kProbeAnswerHeader) + ' ';
    unsigned long version = 0;
    outcome = PROBE_BAD_ANSWER;
    if (line.compare(0, prefix.size(), prefix) != 0) return false;
    if (!ParseDecimal(line.substr(prefix.size()), kMaxCount, version)) return false;
    outcome = version == static_cast<unsigned long>(kProbeAnswerVersion) ? PROBE_OK
                                                                          : PROBE_WRONG_VERSION;
    return outcome == PROBE_OK;
}

// Reads the lines after the header; the state says what may come next.
class CAnswerReader {
public:
    explicit CAnswerReader(ProbeAnswer& answer) : m_answer(answer) {}

    // False for a line that is malformed or out of place.
    bool Line(const std::string& line) {
        std::vector<std::wstring> fields;
        if (m_bEnded || !SplitFields(line, fields)) return false;
        const std::string tag = Ascii(fields[0]);
        if (!m_bSelfTestRead) return tag == kSelfTestTag && SelfTest(fields);
        if (tag == kModuleTag) return Module(fields);
        if (tag == kRecordTag) return Record(fields);
        if (tag == kEndTag) return End(fields);
        return false;
    }
    bool Ended() const { return m_bEnded; }

private:
    bool SelfTest(const std::vector<std::wstring>& fields) {
        BOOL seen = FALSE;
        unsigned long notRun = 0;
        if (fields.size() != 3 || !ParseFlag(Ascii(fields[1]), seen) ||
            !ParseDecimal(Ascii(fields[2]), kMaxStages, notRun))
            return false;
        m_answer.selfTestSeen = seen != FALSE;
        m_answer.stagesNotRun = static_cast<unsigned>(notRun);
        m_bSelfTestRead = true;
        return true;
    }
    bool Module(const std::vector<std::wstring>& fields) {
        unsigned long stages = 0;
        if (fields.size() != 3 || fields[1].empty() || fields[1].size() > kModulePathChars ||
            !ParseDecimal(Ascii(fields[2]), kMaxStages, stages))
            return false;
        if (m_answer.modules.size() >= kProbeAnswerMaxModules) return false;
        m_answer.modules.push_back(ProbeModule{fields[1], {}, static_cast<unsigned>(stages)});
        return true;
    }
    bool Record(const std::vector<std::wstring>& fields) {
        CListItemState record;
        if (m_answer.modules.empty() || !ParseRecord(fields, record)) return false;
        std::vector<CListItemState>& records = m_answer.modules.back().records;
        if (records.size() >= kProbeAnswerMaxRecordsPerModule || m_nRecords >= kProbeAnswerMaxRecords)
            return false;
        records.push_back(record);
        ++m_nRecords;
        return true;
    }
    bool End(const std::vector<std::wstring>& fields) {
        unsigned long modules = 0;
        unsigned long records = 0;
        m_bEnded = true;
        return fields.size() == 3 && ParseDecimal(Ascii(fields[1]), kMaxCount, modules) &&
               ParseDecimal(Ascii(fields[2]), kMaxCount, records) && modules == m_answer.modules.size() &&
               records == m_nRecords;
    }

    ProbeAnswer& m_answer;
    bool m_bSelfTestRead = false;
    bool m_bEnded = false;
    size_t m_nRecords = 0;
};

bool Fail(ProbeAnswer& answer, ProbeOutcome& outcome, ProbeOutcome why) {
    answer = ProbeAnswer();
    outcome = why;
    return false;
}

}  // namespace

std::string WriteProbeAnswer(const ProbeAnswer& answer) {
    std::string text = std::string(kProbeAnswerHeader) + ' ' + Number(kProbeAnswerVersion) + '\n';
    text += std::string(kSelfTestTag) + '\t' + (answer.selfTestSeen ? "1" : "0") + '\t' +
            Number(answer.stagesNotRun & kMaxStages) + '\n';
    unsigned long records = 0;
    for (const ProbeModule& module : answer.modules) {
        text += std::string(kModuleTag) + '\t' + Escaped(module.path.c_str()) + '\t' +
                Number(module.stages & kMaxStages) + '\n';
        for (const CListItemState& record : module.records) {
            // A process whose creation time could not be read cannot be
            // checked before an action: it is left out.
            if (!HasCreationTime(record)) continue;
            text += RecordLine(record);
            ++records;
        }
    }
    text += std::string(kEndTag) + '\t' + Number(static_cast<unsigned long>(answer.modules.size())) +
            '\t' + Number(records) + '\n';
    return text;
}

// Only whole lines count: whatever follows the last line feed is a line that
// was cut off, and an answer without its end line ended early.
static bool ParseLines(const std::string& text, ProbeAnswer& answer, ProbeOutcome& outcome) {
    answer = ProbeAnswer();
    if (text.size() > kProbeAnswerMaxBytes) return Fail(answer, outcome, PROBE_BAD_ANSWER);
    size_t end = text.find('\n');
    if (end == std::string::npos) return Fail(answer, outcome, PROBE_ENDED_EARLY);
    if (!ParseHeader(text.substr(0, end), outcome)) return Fail(answer, outcome, outcome);
    CAnswerReader reader(answer);
    for (size_t start = end + 1; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        if (!reader.Line(text.substr(start, end - start)))
            return Fail(answer, outcome, PROBE_BAD_ANSWER);
    }
    if (!reader.Ended()) return Fail(answer, outcome, PROBE_ENDED_EARLY);
    if (text.back() != '\n') return Fail(answer, outcome, PROBE_BAD_ANSWER);
    outcome = PROBE_OK;
    return true;
}

bool ParseProbeAnswer(const std::string& text, ProbeAnswer& answer, ProbeOutcome& outcome) {
    try {
        return ParseLines(text, answer, outcome);
    } catch (const std::bad_alloc&) {
        return Fail(answer, outcome, PROBE_BAD_ANSWER);
    }
}
