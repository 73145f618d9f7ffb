#include "views/results_report.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>

#include "framework/application.h"
#include "framework/message_box.h"
#include "framework/string_resource.h"
#include "resources/resource.h"
#include "scanner/file_description.h"

namespace {

// Date and time texts hold at most 49 characters, empty when longer.
constexpr int kStampChars = 50;

// The head and its stylesheet, one entry a line.
const char* const kHeadLines[] = {
    "<HEAD>", "<STYLE>", "BODY, TD {", "FONT-FAMILY: Arial, Verdana;", "FONT-SIZE: 12pt;",
    "MARGIN-LEFT: 40px;", "MARGIN-RIGHT: 40px;", "}", "H1", "{", "BORDER-RIGHT: #accce6 thin solid;",
    "BORDER-TOP: #e0f0ff thin solid;", "MARGIN-TOP: 0em;", "FONT-SIZE: 120%;", "MARGIN-BOTTOM: 0.7em;",
    "PADDING-BOTTOM: 2px;", "BORDER-LEFT: #e0f0ff thin solid;", "COLOR: #000099;", "PADDING-TOP: 2px;",
    "BORDER-BOTTOM: #accce6 thin solid;", "FONT-STYLE: normal;", "BACKGROUND-COLOR: #c0dbf9;",
    "FONT-VARIANT: normal;", "TEXT-DECORATION: none;", "x-text-underline: off;", "x-text-overline: off;",
    "x-text-line-through: off;", "TEXT-ALIGN: center;", "}", "</STYLE>",
};

SavePathChooser g_chooser;
ReportOpener g_opener;

std::string Escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string DateText(const SYSTEMTIME& now) {
    char text[kStampChars] = {};
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, text, kStampChars)) return std::string();
    return text;
}

std::string TimeText(const SYSTEMTIME& now) {
    char text[kStampChars] = {};
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, text, kStampChars))
        return std::string();
    return text;
}

std::string Heading(size_t modules) {
    std::string format = fw::LoadResString(IDS_REPORT_HEADING);
    char text[512];
    snprintf(text, sizeof(text), format.c_str(), static_cast<int>(modules));
    return text;
}

std::string Body(const std::vector<ReportRow>& rows, const std::string& stamp) {
    std::string body = "<H1>" + Heading(rows.size()) + "</H1>";
    body += "<TABLE width=100%  align=center cellpadding=5>";
    body += "<TR bgColor=#6495ed><TD><B>" + fw::LoadResString(IDS_REPORT_PATH) + "</B></TD><TD><B>" +
            fw::LoadResString(IDS_REPORT_DESCRIPTION) + "</B></TD></TR>";
    for (const ReportRow& row : rows) {
        body += "<TR><TD bgColor=#c0dbfd>" + Escaped(row.path) + "</TD><TD bgColor=#c0dbfd>" +
                Escaped(row.description) + "</TD></TR>";
    }
    body += "</TABLE><BR>";
    body += "<B>" + fw::LoadResString(IDS_REPORT_SYSTEM_CHECKED) + "</B>" + stamp;
    body += "<BR><A href=mailto:" + std::string(kSupportAddress) + ">" +
            fw::LoadResString(IDS_REPORT_SUPPORT_LINK) + "</A></BODY>";
    return body;
}

// The system's Save As dialog: the newer style where the system has it,
// default extension htm, hide read-only, prompt before overwriting.
bool ChooseSavePath(HWND owner, std::string& path) {
    std::string filter = fw::LoadResString(IDS_REPORT_FILTER);
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    char file[MAX_PATH] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = "htm";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameA(&dialog)) return false;
    path = file;
    return true;
}

void OpenReport(const std::string& path) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

void ReportWriteError(const std::string& path) {
    std::string format = fw::LoadResString(IDS_REPORT_WRITE_ERROR);
    std::vector<char> text(format.size() + path.size() + 1);
    snprintf(text.data(), text.size(), format.c_str(), path.c_str());
    fw::ShowMessage(std::string(text.data()), MB_OK | MB_ICONSTOP);
}

}  // namespace

std::vector<ReportRow> ReportRowsFor(const std::vector<std::string>& modulePaths) {
    std::vector<ReportRow> rows;
    for (const std::string& path : modulePaths) {
        std::string description = GetFileDescription(path.c_str());
        if (description.empty()) description = fw::LoadResString(IDS_DESCRIPTION_ABSENT);
        rows.push_back({path, description});
    }
    return rows;
}

std::string BuildReport(const std::vector<ReportRow>& rows, const SYSTEMTIME& now) {
    std::string stamp = Escaped(DateText(now)) + ", " + Escaped(TimeText(now));
    std::string text;
    for (const char* line : kHeadLines) text += std::string(line) + "\r\n";
    text += "<TITLE>\r\n";
    text += fw::LoadResString(fw::kAppTitleStringId) + fw::LoadResString(IDS_REPORT_TITLE) + stamp + "</TITLE>\r\n";
    text += "</HEAD>\r\n";
    text += "<BODY>\r\n";
    text += Body(rows, stamp) + "\r\n";
    return text;
}

bool WriteReport(const std::string& path, const std::vector<ReportRow>& rows) {
    // One reading of the clock serves the title and the body.
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    std::string text = BuildReport(rows, now);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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

void ExportResults(HWND owner, const std::vector<std::string>& modulePaths) {
    std::string path;
    bool chosen = g_chooser ? g_chooser(owner, path) : ChooseSavePath(owner, path);
    if (!chosen) return;
    if (!WriteReport(path, ReportRowsFor(modulePaths))) return;
    if (g_opener)
        g_opener(path);
    else
        OpenReport(path);
}
