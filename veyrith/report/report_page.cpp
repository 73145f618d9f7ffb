#include "report/report_page.h"

#include "common/utf8.h"
#include "common/string_resource.h"
#include "census/watch_texts.h"
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

std::wstring Heading(size_t modules) {
    return FormatResText(IDS_REPORT_HEADING, L"%d", std::to_wstring(static_cast<int>(modules)));
}

std::wstring HeadCell(UINT textId) { return L"<TD><B>" + LoadResString(textId) + L"</B></TD>"; }

std::wstring Cell(const std::wstring& text) { return L"<TD bgColor=#c0dbfd>" + HtmlEscaped(text) + L"</TD>"; }

std::wstring WatchesCell(WatchFacts watches) {
    return Cell(watches ? WatchFactsText(watches) : LoadResString(IDS_WATCH_UNKNOWN));
}

std::wstring StagesNotRunLine(StageSet stagesNotRun) {
    std::wstring text = StagesNotRunText(stagesNotRun);
    return text.empty() ? text : L"<P>" + HtmlEscaped(text) + L"</P>";
}

std::wstring Body(const std::vector<ReportRow>& rows, const std::wstring& stamp, StageSet stagesNotRun) {
    std::wstring body = L"<H1>" + Heading(rows.size()) + L"</H1>";
    body += L"<TABLE width=100%  align=center cellpadding=5>";
    body += L"<TR bgColor=#6495ed>" + HeadCell(IDS_REPORT_PATH) + HeadCell(IDS_REPORT_DESCRIPTION) +
            HeadCell(IDS_REPORT_WATCHES) + L"</TR>";
    for (const ReportRow& row : rows)
        body += L"<TR>" + Cell(row.path) + Cell(row.description) + WatchesCell(row.watches) + L"</TR>";
    body += L"</TABLE>" + StagesNotRunLine(stagesNotRun) + L"<BR>";
    body += L"<B>" + LoadResString(IDS_REPORT_SYSTEM_CHECKED) + L"</B>" + stamp;
    body += L"<BR><A href=mailto:" + std::wstring(kSupportAddress, kSupportAddress + sizeof(kSupportAddress) - 1) +
            L">" + LoadResString(IDS_REPORT_SUPPORT_LINK) + L"</A></BODY>";
    return body;
}

}  // namespace

std::wstring HtmlEscaped(const std::wstring& text) {
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

std::vector<ReportRow> ReportRowsFor(const CScanResult& result) {
    std::vector<ReportRow> rows;
    for (int i = 0; i < result.Count(); ++i) {
        const std::wstring& path = result.Finding(i).path;
        std::wstring description = GetFileDescription(path.c_str());
        if (description.empty()) description = LoadResString(IDS_DESCRIPTION_ABSENT);
        rows.push_back({path, description, result.Finding(i).Watches()});
    }
    return rows;
}

std::string BuildReport(const std::vector<ReportRow>& rows, const SYSTEMTIME& now, StageSet stagesNotRun) {
    std::wstring stamp = HtmlEscaped(DateText(now)) + L", " + HtmlEscaped(TimeText(now));
    std::string text;
    for (const char* line : kHeadLines) text += std::string(line) + "\r\n";
    text += "<TITLE>\r\n";
    text += ToUtf8ForDisplay(LoadResString(kAppTitleStringId) + LoadResString(IDS_REPORT_TITLE) + stamp) +
            "</TITLE>\r\n";
    text += "</HEAD>\r\n";
    text += "<BODY>\r\n";
    text += ToUtf8ForDisplay(Body(rows, stamp, stagesNotRun)) + "\r\n";
    return text;
}

std::wstring FormatResText(UINT id, const wchar_t* placeholder, const std::wstring& value) {
    std::wstring text = LoadResString(id);
    size_t at = text.find(placeholder);
    if (at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}
