#include "views/results_report.h"

#include <commdlg.h>
#include <shellapi.h>


#include "framework/application.h"
#include "framework/message_box.h"
#include "common/utf8.h"
#include "framework/string_resource.h"
#include "resources/resource.h"
#include "scanner/file_description.h"

namespace {

// Date and time texts hold at most 49 characters, empty when longer.
constexpr int kStampChars = 50;

// The head and its stylesheet, one entry a line. The page says how its bytes
// are to be read: every text in it is UTF-8.
const char* const kHeadLines[] = {
    "<HEAD>", "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", "<STYLE>",
    "BODY, TD {", "FONT-FAMILY: Arial, Verdana;", "FONT-SIZE: 12pt;", "MARGIN-LEFT: 40px;",
    "MARGIN-RIGHT: 40px;", "}", "H1", "{", "BORDER-RIGHT: #accce6 thin solid;",
    "BORDER-TOP: #e0f0ff thin solid;", "MARGIN-TOP: 0em;", "FONT-SIZE: 120%;", "MARGIN-BOTTOM: 0.7em;",
    "PADDING-BOTTOM: 2px;", "BORDER-LEFT: #e0f0ff thin solid;", "COLOR: #000099;", "PADDING-TOP: 2px;",
    "BORDER-BOTTOM: #accce6 thin solid;", "FONT-STYLE: normal;", "BACKGROUND-COLOR: #c0dbf9;",
    "FONT-VARIANT: normal;", "TEXT-DECORATION: none;", "x-text-underline: off;", "x-text-overline: off;",
    "x-text-line-through: off;", "TEXT-ALIGN: center;", "}", "</STYLE>",
};

SavePathChooser g_chooser;
ReportOpener g_opener;

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::wstring DateText(const SYSTEMTIME& now) {
    wchar_t text[kStampChars] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, text, kStampChars)) return std::wstring();
    return text;
}

std::wstring TimeText(const SYSTEMTIME& now) {
    wchar_t text[kStampChars] = {};
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, text, kStampChars))
        return std::wstring();
    return text;
}

// A resource text with its one placeholder (%d or %s) replaced.
std::wstring Formatted(UINT id, const wchar_t* placeholder, const std::wstring& value) {
    std::wstring text = fw::LoadResStringW(id);
    size_t at = text.find(placeholder);
    if (at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

std::wstring Heading(size_t modules) {
    return Formatted(IDS_REPORT_HEADING, L"%d", std::to_wstring(static_cast<int>(modules)));
}

std::wstring Body(const std::vector<ReportRow>& rows, const std::wstring& stamp) {
    std::wstring body = L"<H1>" + Heading(rows.size()) + L"</H1>";
    body += L"<TABLE width=100%  align=center cellpadding=5>";
    body += L"<TR bgColor=#6495ed><TD><B>" + fw::LoadResStringW(IDS_REPORT_PATH) + L"</B></TD><TD><B>" +
            fw::LoadResStringW(IDS_REPORT_DESCRIPTION) + L"</B></TD></TR>";
    for (const ReportRow& row : rows) {
        body += L"<TR><TD bgColor=#c0dbfd>" + Escaped(row.path) + L"</TD><TD bgColor=#c0dbfd>" +
                Escaped(row.description) + L"</TD></TR>";
    }
    body += L"</TABLE><BR>";
    body += L"<B>" + fw::LoadResStringW(IDS_REPORT_SYSTEM_CHECKED) + L"</B>" + stamp;
    body += L"<BR><A href=mailto:" + std::wstring(kSupportAddress, kSupportAddress + sizeof(kSupportAddress) - 1) +
            L">" + fw::LoadResStringW(IDS_REPORT_SUPPORT_LINK) + L"</A></BODY>";
    return body;
}

// The system's Save As dialog: the newer style where the system has it,
// default extension htm, hide read-only, prompt before overwriting.
bool ChooseSavePath(HWND owner, std::wstring& path) {
    std::wstring filter = fw::LoadResStringW(IDS_REPORT_FILTER);
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"htm";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog)) return false;
    path = file;
    return true;
}

void OpenReport(const std::wstring& path) {
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

void ReportWriteError(const std::wstring& path) {
    fw::ShowMessage(Formatted(IDS_REPORT_WRITE_ERROR, L"%s", path), MB_OK | MB_ICONSTOP);
}

}  // namespace

std::vector<ReportRow> ReportRowsFor(const std::vector<std::wstring>& modulePaths) {
    std::vector<ReportRow> rows;
    for (const std::wstring& path : modulePaths) {
        std::wstring description = GetFileDescription(path.c_str());
        if (description.empty()) description = fw::LoadResStringW(IDS_DESCRIPTION_ABSENT);
        rows.push_back({path, description});
    }
    return rows;
}

std::string BuildReport(const std::vector<ReportRow>& rows, const SYSTEMTIME& now) {
    std::wstring stamp = Escaped(DateText(now)) + L", " + Escaped(TimeText(now));
    std::string text;
    for (const char* line : kHeadLines) text += std::string(line) + "\r\n";
    text += "<TITLE>\r\n";
    text += ToUtf8ForDisplay(fw::LoadResStringW(fw::kAppTitleStringId) + fw::LoadResStringW(IDS_REPORT_TITLE) + stamp) +
            "</TITLE>\r\n";
    text += "</HEAD>\r\n";
    text += "<BODY>\r\n";
    text += ToUtf8ForDisplay(Body(rows, stamp)) + "\r\n";
    return text;
}

bool WriteReport(const std::wstring& path, const std::vector<ReportRow>& rows) {
    // One reading of the clock serves the title and the body.
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    std::string text = BuildReport(rows, now);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fw::ShowMessage(IDS_REPORT_SAVE_ERROR, MB_OK | MB_ICONSTOP);
        return false;
    }
    DWORD written = 0;
    bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    CloseHandle(file);
    if (!whole) ReportWriteError(path);
    return whole;
}

void SetReportSeams(SavePathChooser chooser, ReportOpener opener) {
    g_chooser = std::move(chooser);
    g_opener = std::move(opener);
}

void ExportResults(HWND owner, const std::vector<std::wstring>& modulePaths) {
    std::wstring path;
    bool chosen = g_chooser ? g_chooser(owner, path) : ChooseSavePath(owner, path);
    if (!chosen) return;
    if (!WriteReport(path, ReportRowsFor(modulePaths))) return;
    if (g_opener)
        g_opener(path);
    else
        OpenReport(path);
}
