#include "veyrith_scan/scan_output.h"

#include <cstdio>

#include "common/owners.h"
#include "common/utf8.h"
#include "common/write_all.h"
#include "common/string_resource.h"
#include "census/watch_texts.h"
#include "report/report_page.h"
#include "resources/resource.h"
#include "scanner/file_description.h"
#include "scanner/probe64_client.h"
#include "veyrith_scan/resources/scan_resource.h"

namespace {

const char* const kAutoRunKinds[] = {"none", "registry", "shortcut", "winini"};

std::string Quoted(const std::wstring& text) { return "\"" + JsonEscaped(text) + "\""; }

std::string Flag(BOOL value) { return value ? "true" : "false"; }

std::string UtcText(const SYSTEMTIME& utc) {
    char text[32] = {};
    snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
             utc.wMinute, utc.wSecond);
    return text;
}

std::wstring AlertText(int level) { return LoadResString(IDS_CLI_ALERT_1 + level - 1); }

// The hive of a registry entry as the system names it; empty for the others.
const char* HiveOf(const CAutoRunInfo& entry) {
    if (entry.m_nType != AUTORUN_REGISTRY) return "";
    if (entry.m_hRootKey == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    return entry.m_hRootKey == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "";
}

// A registry entry was read in the view of the program that found it: the
// companion's 64-bit view for a 64-bit module's hosts, this program's
// 32-bit view for the others; 0 for entries outside the registry.
std::string AutoRunJson(const CAutoRunInfo& entry, int bits) {
    int kind = entry.m_nType >= AUTORUN_NONE && entry.m_nType <= AUTORUN_WININI ? entry.m_nType : AUTORUN_NONE;
    int view = entry.m_nType == AUTORUN_REGISTRY ? bits : 0;
    return std::string("{\"kind\": \"") + kAutoRunKinds[kind] + "\", \"hive\": \"" + HiveOf(entry) +
           "\", \"view\": " + std::to_string(view) + ", \"location\": " + Quoted(entry.m_szLocation) +
           ", \"value\": " + Quoted(entry.m_szValueName) + ", \"program\": " + Quoted(entry.m_szProgram) + "}";
}

std::string HostJson(const CListItemState& host, int bits) {
    int level = AlertLevelOf(host);
    return "{\"pid\": " + std::to_string(host.m_dwProcessId) + ", \"path\": " + Quoted(host.m_szPath) +
           ", \"visible\": " + Flag(host.m_bVisible) + ", \"same_folder\": " + Flag(host.m_bSameFolder) +
           ", \"autorun\": " + AutoRunJson(host.m_autoRun, bits) + ", \"alert_level\": " + std::to_string(level) +
           ", \"alert\": " + Quoted(AlertText(level)) + "}";
}

// The file description of a module; empty when the file has none.
std::wstring DescriptionOf(const CModuleFinding& module) {
    return GetFileDescription(PathFor32BitAccess(module.path).c_str());
}

// A JSON array of words, in the order given.
std::string WordArray(const std::vector<const char*>& words) {
    std::string text = "[";
    for (size_t i = 0; i < words.size(); ++i) text += std::string(i ? ", " : "") + "\"" + words[i] + "\"";
    return text + "]";
}

std::string WatchesJson(WatchFacts facts) {
    std::vector<const char*> words;
    for (WatchFact fact : kWatchFacts) {
        if (facts & fact) words.push_back(WatchFactKey(fact));
    }
    return WordArray(words);
}

std::string StagesJson(StageSet stages) {
    std::vector<const char*> words;
    for (int stage = 0; stage < kStageCount; ++stage) {
        if (stages & StageBit(stage)) words.push_back(StageKey(stage));
    }
    return WordArray(words);
}

std::string ModuleJson(const CScanResult& result, int index) {
    const CModuleFinding& module = result.Finding(index);
    std::vector<CListItemState> hosts = ReportedHosts(result, index);
    std::string text = "    {\"path\": " + Quoted(module.path) + ", \"bits\": " + std::to_string(module.bits) +
                       ", \"description\": " + Quoted(DescriptionOf(module)) +
                       ", \"watches\": " + WatchesJson(module.Watches()) + ", \"hosts\": [";
    for (size_t i = 0; i < hosts.size(); ++i)
        text += std::string(i ? "," : "") + "\n      " + HostJson(hosts[i], module.bits);
    return text + (hosts.empty() ? "]}" : "\n    ]}");
}

std::string ControlEscape(wchar_t c) {
    switch (c) {
    case L'"': return "\\\"";
    case L'\\': return "\\\\";
    case L'\n': return "\\n";
    case L'\r': return "\\r";
    case L'\t': return "\\t";
    default: break;
    }
    char text[8] = {};
    snprintf(text, sizeof(text), "\\u%04x", static_cast<unsigned>(c));
    return text;
}

// What tells more of an unconfirmed scan's reason; empty for a confirmed one.
std::wstring ReasonDetailText(const CScanResult& result) {
    if (result.Confirmed() || !result.SelfTestProblemId()) return std::wstring();
    return LoadResString(result.SelfTestProblemId());
}

// The verdict's line, after the line of the stages that could not run when
// there are any.
std::wstring VerdictText(const CScanResult& result) {
    std::wstring verdict = ScanEndStatusText(result);
    std::wstring stages = StagesNotRunText(result.StagesNotRun());
    std::wstring why = ReasonDetailText(result);
    return (stages.empty() || stages == verdict ? std::wstring() : stages + L"\r\n") + verdict +
           (why.empty() ? std::wstring() : L"\r\n" + why);
}

std::wstring HostLine(const CListItemState& host) {
    return L"    " + std::to_wstring(host.m_dwProcessId) + L"  " + host.m_szPath + L"  (" +
           AlertText(AlertLevelOf(host)) + L")\r\n";
}

std::wstring ModuleLines(const CScanResult& result, int index) {
    const CModuleFinding& module = result.Finding(index);
    std::wstring text = L"  " + (module.Is64Bit() ? LoadResString(IDS_MODULE_64BIT_MARK) : L"") + module.path;
    std::wstring description = DescriptionOf(module);
    if (!description.empty()) text += L"  - " + description;
    if (module.Watches()) text += LoadResString(IDS_WATCH_FACTS_LEAD) + WatchFactsText(module.Watches());
    text += L"\r\n";
    for (const CListItemState& host : ReportedHosts(result, index)) text += HostLine(host);
    return text;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    return slash == 0 || path[slash - 1] == L':' ? path.substr(0, slash + 1) : path.substr(0, slash);
}

bool WriteTemporary(const std::wstring& temporary, const std::string& bytes) {
    CHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAllBytes(file.Get(), bytes) && FlushFileBuffers(file.Get());
}

}  // namespace

std::string JsonEscaped(const std::wstring& text) {
    std::wstring plain;
    std::string out;
    for (wchar_t c : text) {
        if (c >= 0x20 && c != L'"' && c != L'\\') {
            plain += c;
            continue;
        }
        out += ToUtf8ForDisplay(plain) + ControlEscape(c);
        plain.clear();
    }
    return out + ToUtf8ForDisplay(plain);
}

std::string ScanJson(const CScanResult& result, const std::wstring& computer, const SYSTEMTIME& utc) {
    std::string text = "{\n  \"format\": " + std::to_string(kScanJsonFormat) + ",\n";
    text += "  \"computer\": " + Quoted(computer) + ",\n";
    text += "  \"time\": \"" + UtcText(utc) + "\",\n";
    text += "  \"confirmed\": " + Flag(result.Confirmed()) + ",\n";
    text += "  \"reason\": " + Quoted(result.Confirmed() ? L"" : ScanEndStatusText(result)) + ",\n";
    text += "  \"reason_detail\": " + Quoted(ReasonDetailText(result)) + ",\n";
    text += "  \"stages_not_run\": " + StagesJson(result.StagesNotRun()) + ",\n";
    text += "  \"modules\": [";
    for (int i = 0; i < result.Count(); ++i) text += std::string(i ? "," : "") + "\n" + ModuleJson(result, i);
    return text + (result.Empty() ? "]\n}\n" : "\n  ]\n}\n");
}

std::wstring ScanSummary(const CScanResult& result) {
    if (result.Empty())
        return LoadResString(IDS_NO_MONITORING_MODULES) + L"\r\n" + VerdictText(result) + L"\r\n";
    std::wstring text = FormatResText(IDS_CLI_MODULES_FOUND, L"%d", std::to_wstring(result.Count())) + L"\r\n";
    for (int i = 0; i < result.Count(); ++i) text += ModuleLines(result, i);
    return text + VerdictText(result) + L"\r\n";
}

std::string ScanReport(const CScanResult& result) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    return BuildReport(ReportRowsFor(result), now, result.StagesNotRun());
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    if (path == L"-") return WriteAllBytes(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
    wchar_t temporary[MAX_PATH] = {};
    if (!GetTempFileNameW(FolderOf(path).c_str(), L"vys", 0, temporary)) return false;
    bool whole = WriteTemporary(temporary, bytes) &&
                 MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!whole) DeleteFileW(temporary);
    return whole;
}

bool PrintText(const std::wstring& text, bool toError) {
    HANDLE output = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!output || output == INVALID_HANDLE_VALUE) return false;
    if (!GetConsoleMode(output, &mode)) return WriteAllBytes(output, ToUtf8ForDisplay(text));
    DWORD written = 0;
    return WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
}

std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length)) return std::wstring();
    return std::wstring(name, length);
}
