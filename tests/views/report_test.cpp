// The exported report: its bytes line by line, the escaping of what the
// modules' authors chose, the file on disk and the failures.
#include <gtest/gtest.h>

#include <vector>

#include "../scanner/hook_host.h"
#include "fake_desktop.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "test_support.h"
#include "views/results_report.h"

using namespace testing_support;

namespace {

const char* const kHead[] = {
    "<HEAD>", "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", "<STYLE>", "BODY, TD {", "FONT-FAMILY: Arial, Verdana;", "FONT-SIZE: 12pt;",
    "MARGIN-LEFT: 40px;", "MARGIN-RIGHT: 40px;", "}", "H1", "{", "BORDER-RIGHT: #accce6 thin solid;",
    "BORDER-TOP: #e0f0ff thin solid;", "MARGIN-TOP: 0em;", "FONT-SIZE: 120%;", "MARGIN-BOTTOM: 0.7em;",
    "PADDING-BOTTOM: 2px;", "BORDER-LEFT: #e0f0ff thin solid;", "COLOR: #000099;", "PADDING-TOP: 2px;",
    "BORDER-BOTTOM: #accce6 thin solid;", "FONT-STYLE: normal;", "BACKGROUND-COLOR: #c0dbf9;",
    "FONT-VARIANT: normal;", "TEXT-DECORATION: none;", "x-text-underline: off;", "x-text-overline: off;",
    "x-text-line-through: off;", "TEXT-ALIGN: center;", "}", "</STYLE>",
};

// The lines of a text split at CR LF; a lone LF or CR fails the test.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    for (const std::string& line : lines) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    return lines;
}

std::string Stamp(const SYSTEMTIME& now) {
    char date[50] = {}, time[50] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, date, 50);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, time, 50);
    return std::string(date) + ", " + time;
}

std::vector<std::wstring> Modules() {
    return {Wide(Lower(BinDir() + "sample_hook.dll")), Wide(Lower(BinDir() + "probe_module.dll")),
            Wide(Lower(BinDir() + "markup_module.dll"))};
}

// A scan's result of those modules; the first reads keystrokes and
// watches the mouse.
CScanResult Found() {
    CScanResult result;
    std::vector<std::wstring> modules = Modules();
    result.Add(CModuleFinding{modules[0], 32, StageBit(STAGE_KEYBOARD) | StageBit(STAGE_MOUSE)});
    for (size_t i = 1; i < modules.size(); ++i) result.Add(CModuleFinding{modules[i], 32});
    return result;
}

TEST(Report, BytesLineByLineWithInsertedTextsEscaped) {
    std::vector<ReportRow> rows = ReportRowsFor(Found());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].description, L"Sample keyboard monitor");
    EXPECT_EQ(rows[1].description, LoadResString(IDS_DESCRIPTION_ABSENT));
    SYSTEMTIME now = {2026, 12, 1, 7, 18, 5, 9, 0};
    std::vector<std::string> lines = Lines(BuildReport(rows, now));

    ASSERT_EQ(lines.size(), 37u) << "36 lines and a final line break";
    EXPECT_EQ(lines[36], "");
    for (int i = 0; i < 31; ++i) EXPECT_EQ(lines[i], kHead[i]) << "line " << i + 1;
    EXPECT_EQ(lines[31], "<TITLE>");
    EXPECT_EQ(lines[32], "Veyrith scanning results: " + Stamp(now) + "</TITLE>");
    EXPECT_EQ(lines[33], "</HEAD>");
    EXPECT_EQ(lines[34], "<BODY>");

    std::string expected =
        "<H1>Veyrith scanning results: 3 file(s) performing system-wide monitoring  found</H1>"
        "<TABLE width=100%  align=center cellpadding=5>"
        "<TR bgColor=#6495ed><TD><B>Path</B></TD><TD><B>Description</B></TD><TD><B>What it watches</B></TD></TR>"
        "<TR><TD bgColor=#c0dbfd>" + Narrow(Modules()[0]) + "</TD><TD bgColor=#c0dbfd>Sample keyboard monitor</TD>"
        "<TD bgColor=#c0dbfd>reads keystrokes, watches the mouse</TD></TR>"
        "<TR><TD bgColor=#c0dbfd>" + Narrow(Modules()[1]) + "</TD><TD bgColor=#c0dbfd>Description absent</TD>"
        "<TD bgColor=#c0dbfd>not known from this scan</TD></TR>"
        "<TR><TD bgColor=#c0dbfd>" + Narrow(Modules()[2]) +
        "</TD><TD bgColor=#c0dbfd>&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;x&quot;</TD>"
        "<TD bgColor=#c0dbfd>not known from this scan</TD></TR>"
        "</TABLE><BR><B>System checked: </B>" + Stamp(now) +
        "<BR><A href=mailto:" + kSupportAddress +
        ">Click here if you want to send a question to Tarnwick Software online support</A></BODY>";
    EXPECT_EQ(lines[35], expected);

    // A path with markup characters is escaped as well; one beyond the code
    // page is written in UTF-8, as the head says.
    std::vector<std::string> odd = Lines(BuildReport(
        {{L"c:\\a&b\\<x>.dll", L"d"}, {L"c:\\\u76d1\u89c6\\\u0448\u043f\u0438\u043e\u043d.dll", L"\u00e9"}}, now));
    EXPECT_NE(odd[35].find("c:\\a&amp;b\\&lt;x&gt;.dll"), std::string::npos);
    EXPECT_NE(odd[35].find("c:\\\xE7\x9B\x91\xE8\xA7\x86\\\xD1\x88\xD0\xBF\xD0\xB8\xD0\xBE\xD0\xBD.dll</TD>"
                           "<TD bgColor=#c0dbfd>\xC3\xA9</TD>"),
              std::string::npos);
}

TEST(Report, FileIsReplacedWholeAndFailuresOpenNothing) {
    TempFolder folder;
    std::string path = folder.File("report.htm");
    ASSERT_TRUE(WriteTextFile(path, std::string(20000, 'x')));
    std::string chosen = path;
    FakeDesktop desktop;
    desktop.choosePath = [&](HWND, std::wstring& out) {
        if (chosen.empty()) return false;
        out = Wide(chosen);
        return true;
    };
    const std::vector<std::wstring>& opened = desktop.openedReports;

    // The stages that could not run are named below the table.
    CScanResult found = Found();
    found.SetStagesNotRun(StageBit(STAGE_KEYBOARD) | StageBit(STAGE_MODAL_LOOP));
    ExportResults(desktop, nullptr, found);
    std::string text = ReadTextFile(path);
    std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 37u) << "the old content is gone";
    // Title and body carry the same reading of the clock.
    std::string title = lines[32].substr(0, lines[32].size() - std::string("</TITLE>").size());
    std::string stamp = title.substr(std::string("Veyrith scanning results: ").size());
    EXPECT_NE(lines[35].find("System checked: </B>" + stamp + "<BR>"), std::string::npos);
    EXPECT_NE(lines[35].find("</TABLE><P>Scan finished, but these provocations could not run: keyboard, modal loop. "
                             "Monitors of those kinds may be missing.</P><BR>"),
              std::string::npos);
    EXPECT_EQ(opened, std::vector<std::wstring>{Wide(path)});
    EXPECT_TRUE(desktop.boxes.empty());

    // Cancel writes and opens nothing; an unwritable path says so.
    chosen.clear();
    ExportResults(desktop, nullptr, Found());
    chosen = folder.File("missing\\report.htm");
    ExportResults(desktop, nullptr, Found());
    EXPECT_EQ(opened.size(), 1u);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, "An error occurred while saving file.");
    EXPECT_FALSE(FileExists(chosen));
}

}  // namespace
