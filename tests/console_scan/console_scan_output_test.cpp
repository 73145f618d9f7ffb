// What veyrith_scan writes for a result made here: each module's facts and
// the stages of the provocation that could not run, in the JSON document
// (read back with a JSON reader), the summary and the HTML report, and the
// status text at the end of a scan.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "census/watch_texts.h"
#include "common/string_resource.h"
#include "common/utf8.h"
#include "json_reader.h"
#include "resources/resource.h"
#include "test_support.h"
#include "veyrith_scan/scan_output.h"

using namespace testing_support;

namespace {

const wchar_t kSpy[] = L"c:\\spy\\spy.dll";
const wchar_t kMouse[] = L"c:\\\u0448\u043f\u0438\u043e\u043d\\mouse.dll";
const wchar_t kQuiet[] = L"c:\\quiet\\quiet.dll";
const wchar_t kStagesLine[] =
    L"Scan finished, but these provocations could not run: mouse, idle. Monitors of those kinds may be missing.";

// Three modules: one that reads keystrokes and watches windows, a 64-bit
// one that watches the mouse, one of which the scan tells nothing; the
// mouse and idle stages did not run.
CScanResult Result() {
    CScanResult result;
    result.Add(CModuleFinding{kSpy, 32, StageBit(STAGE_KEYBOARD) | StageBit(STAGE_WINDOW)});
    result.Add(CModuleFinding{kMouse, 64, StageBit(STAGE_MOUSE)});
    result.Add(CModuleFinding{kQuiet, 32, 0});
    result.SetVerdict(false, IDS_SCAN_UNCONFIRMED);
    result.SetStagesNotRun(StageBit(STAGE_MOUSE) | StageBit(STAGE_IDLE));
    return result;
}

std::vector<std::wstring> Words(std::initializer_list<const wchar_t*> words) {
    return std::vector<std::wstring>(words.begin(), words.end());
}

const JsonValue& ArrayMember(const JsonValue& object, const wchar_t* name) {
    static const JsonValue none;
    const JsonValue* member = object.Member(name);
    EXPECT_TRUE(member && member->kind == JsonValue::kArray) << Narrow(name);
    return member ? *member : none;
}

JsonValue Parsed(const CScanResult& result) {
    SYSTEMTIME utc = {2026, 3, 2, 4, 10, 20, 30, 0};
    JsonValue document;
    EXPECT_TRUE(ParseJson(ScanJson(result, L"pc", utc), document));
    return document;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool Holds(const std::string& text, const std::wstring& part) {
    return text.find(ToUtf8ForDisplay(part)) != std::string::npos;
}

TEST(ConsoleScanOutput, JsonNamesEachModulesFactsAndTheStagesNotRun) {
    JsonValue document = Parsed(Result());
    EXPECT_EQ(ArrayMember(document, L"stages_not_run").Strings(), Words({L"mouse", L"idle"}));
    const JsonValue& modules = ArrayMember(document, L"modules");
    ASSERT_EQ(modules.items.size(), 3u);
    EXPECT_EQ(modules.items[0].Member(L"path")->text, kSpy);
    EXPECT_EQ(ArrayMember(modules.items[0], L"watches").Strings(), Words({L"reads keystrokes", L"watches windows"}));
    EXPECT_EQ(modules.items[1].Member(L"path")->text, kMouse);
    EXPECT_EQ(ArrayMember(modules.items[1], L"watches").Strings(), Words({L"watches the mouse"}));
    EXPECT_TRUE(ArrayMember(modules.items[2], L"watches").items.empty());

    // Every stage run: the array is there and empty.
    CScanResult clean = Result();
    clean.SetStagesNotRun(0);
    clean.SetVerdict(true, 0);
    JsonValue cleanDocument = Parsed(clean);
    EXPECT_TRUE(ArrayMember(cleanDocument, L"stages_not_run").items.empty());
    EXPECT_TRUE(cleanDocument.Member(L"confirmed")->boolean);
}

TEST(ConsoleScanOutput, SummaryPutsTheFactsAfterEachModuleAndTheStagesBeforeTheVerdict) {
    std::vector<std::wstring> lines = Lines(ScanSummary(Result()));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], std::wstring(L"  ") + kSpy + L"  \u2014 reads keystrokes, watches windows");
    EXPECT_EQ(lines[2], std::wstring(L"  (64-bit)  ") + kMouse + L"  \u2014 watches the mouse");
    EXPECT_EQ(lines[3], std::wstring(L"  ") + kQuiet);
    EXPECT_EQ(lines[4], kStagesLine);

    // The window's status bar says the same at the scan's end when the
    // stages are the verdict's reason, and the verdict otherwise.
    CScanResult stagesOnly = Result();
    stagesOnly.SetVerdict(false, IDS_STAGES_NOT_RUN);
    EXPECT_EQ(ScanEndStatusText(stagesOnly), kStagesLine);
    CScanResult clean = Result();
    clean.SetStagesNotRun(0);
    EXPECT_EQ(ScanEndStatusText(clean), LoadResString(IDS_SCAN_UNCONFIRMED));

    CScanResult empty;
    empty.SetVerdict(false, IDS_SCAN_UNCONFIRMED);
    empty.SetStagesNotRun(StageBit(STAGE_POSTED_MESSAGE));
    std::vector<std::wstring> none = Lines(ScanSummary(empty));
    ASSERT_EQ(none.size(), 3u);
    EXPECT_NE(none[1].find(L": posted message."), std::wstring::npos) << Narrow(none[1]);
}

TEST(ConsoleScanOutput, ReportHasAFactsColumnAndTheStagesLine) {
    std::string report = ScanReport(Result());
    EXPECT_TRUE(Holds(report, L"<TD><B>What it watches</B></TD></TR>"));
    EXPECT_TRUE(Holds(report, L"<TD bgColor=#c0dbfd>reads keystrokes, watches windows</TD></TR>"));
    EXPECT_TRUE(Holds(report, L"<TD bgColor=#c0dbfd>watches the mouse</TD></TR>"));
    EXPECT_TRUE(Holds(report, L"<TD bgColor=#c0dbfd>not known from this scan</TD></TR>"));
    EXPECT_TRUE(Holds(report, std::wstring(L"</TABLE><P>") + kStagesLine + L"</P><BR>"));

    CScanResult clean = Result();
    clean.SetStagesNotRun(0);
    EXPECT_TRUE(Holds(ScanReport(clean), L"</TABLE><BR>"));
}

}  // namespace
