// The probe's answer: a full answer survives writing and reading, and every
// kind of damaged answer is refused with the outcome that says why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "findings/probe_answer.h"
#include "scanner/probe64_client.h"
#include "test_support.h"

namespace {

CListItemState MakeRecord(const std::wstring& path, BOOL visible, const std::wstring& description,
                          DWORD processId, BOOL sameFolder) {
    CListItemState record = {};
    lstrcpynW(record.m_szPath, path.c_str(), 260);
    record.m_bVisible = visible;
    lstrcpynW(record.m_szDescription, description.c_str(), 1024);
    record.m_dwProcessId = processId;
    record.m_bSameFolder = sameFolder;
    record.m_ftCreated = {processId, 0x01D00000};
    return record;
}

// A record with every field at its longest, characters that need escaping,
// letters of several scripts, a surrogate pair and a surrogate without its
// partner (a file name may hold one), and a registry autorun entry under a
// predefined root.
CListItemState FullRecord() {
    const wchar_t kLoneHigh = 0xD800, kLoneLow = 0xDC00;
    std::wstring path = L"C:\\odd\\tab\there\\back\\\\slash\\\u76d1\u89c6\U0001F600";
    path += kLoneHigh;
    path += std::wstring(259 - path.size(), L'\u043f');
    std::wstring description = L"line one\nline two\r\t" + std::wstring(1, kLoneLow) + std::wstring(1003, L'\u0434');
    CListItemState record = MakeRecord(path, FALSE, description, 0xFFFFFFF0, TRUE);
    CAutoRunInfo& autoRun = record.m_autoRun;
    autoRun.m_nType = AUTORUN_REGISTRY;
    lstrcpynW(autoRun.m_szLocation, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 260);
    lstrcpynW(autoRun.m_szProgram, (L"\"" + path.substr(0, 250) + L"\" -x").c_str(), 260);
    autoRun.m_hRootKey = HKEY_CURRENT_USER;
    lstrcpynW(autoRun.m_szValueName, std::wstring(127, L'\u0416').c_str(), 128);
    return record;
}

ProbeAnswer GoodAnswer() {
    ProbeAnswer answer;
    answer.selfTestSeen = true;
    answer.modules.push_back(
        {L"c:\\hooks\\\u76d1\u89c6.dll", {FullRecord(), MakeRecord(L"C:\\b.exe", TRUE, L"", 8, FALSE)}});
    answer.modules.push_back({L"c:\\hooks\\two.dll", {}, 0x90});
    answer.stagesNotRun = 0x48;
    answer.modules.push_back({L"c:\\hooks\\three.dll", {MakeRecord(L"C:\\c.exe", FALSE, L"C", 12, FALSE)}});
    return answer;
}

void ExpectSameRecord(const CListItemState& expected, const CListItemState& got) {
    EXPECT_STREQ(expected.m_szPath, got.m_szPath);
    EXPECT_EQ(expected.m_bVisible, got.m_bVisible);
    EXPECT_STREQ(expected.m_szDescription, got.m_szDescription);
    EXPECT_EQ(expected.m_dwProcessId, got.m_dwProcessId);
    EXPECT_EQ(expected.m_bSameFolder, got.m_bSameFolder);
    EXPECT_EQ(expected.m_autoRun.m_nType, got.m_autoRun.m_nType);
    EXPECT_STREQ(expected.m_autoRun.m_szLocation, got.m_autoRun.m_szLocation);
    EXPECT_STREQ(expected.m_autoRun.m_szProgram, got.m_autoRun.m_szProgram);
    EXPECT_EQ(expected.m_autoRun.m_hRootKey, got.m_autoRun.m_hRootKey);
    EXPECT_STREQ(expected.m_autoRun.m_szValueName, got.m_autoRun.m_szValueName);
    EXPECT_EQ(0, CompareFileTime(&expected.m_ftCreated, &got.m_ftCreated));
    CListItemState coloured = expected;
    ApplyAlertLevel(coloured);
    EXPECT_EQ(coloured.m_crBack, got.m_crBack);
    EXPECT_EQ(coloured.m_crText, got.m_crText);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

std::string Repeated(const std::string& piece, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += piece;
    return text;
}

struct Damage {
    const char* what;
    std::string text;
    ProbeOutcome outcome;
};

}  // namespace

TEST(ProbeAnswer, RoundTripsAndRefusesDamagedAnswers) {
    ProbeAnswer written = GoodAnswer();
    std::string text = WriteProbeAnswer(written);
    ProbeAnswer read;
    ProbeOutcome outcome = PROBE_NOT_STARTED;
    ASSERT_TRUE(ParseProbeAnswer(text, read, outcome));
    EXPECT_EQ(PROBE_OK, outcome);
    EXPECT_TRUE(read.selfTestSeen);
    EXPECT_EQ(written.stagesNotRun, read.stagesNotRun);
    ASSERT_EQ(written.modules.size(), read.modules.size());
    for (size_t m = 0; m < written.modules.size(); ++m) {
        EXPECT_EQ(written.modules[m].path, read.modules[m].path);
        EXPECT_EQ(written.modules[m].stages, read.modules[m].stages);
        ASSERT_EQ(written.modules[m].records.size(), read.modules[m].records.size());
        for (size_t r = 0; r < written.modules[m].records.size(); ++r)
            ExpectSameRecord(written.modules[m].records[r], read.modules[m].records[r]);
    }

    // Lines: 0 header, 1 self-test, 2 module one, 3 and 4 its records,
    // 5 module two, 6 module three, 7 its record, 8 end.
    const std::vector<std::string> lines = SplitLines(text);
    ASSERT_EQ(9u, lines.size());
    auto with = [&](size_t index, const std::string& line) {
        std::vector<std::string> changed = lines;
        changed[index] = line;
        return JoinLines(changed);
    };
    auto without = [&](size_t index) {
        std::vector<std::string> changed = lines;
        changed.erase(changed.begin() + index);
        return JoinLines(changed);
    };
    const std::string record7 = lines[7];
    const std::string time = "\t01D0000000000007";
    const std::vector<Damage> damages = {
        {"nothing at all", "", PROBE_ENDED_EARLY},
        {"cut inside the header", text.substr(0, 9), PROBE_ENDED_EARLY},
        {"cut before the end line", without(8), PROBE_ENDED_EARLY},
        {"cut inside a record", text.substr(0, text.find(lines[4]) + 20), PROBE_ENDED_EARLY},
        {"the version before", with(0, "VEYRITH-PROBE64 2"), PROBE_WRONG_VERSION},
        {"a later version", with(0, "VEYRITH-PROBE64 4"), PROBE_WRONG_VERSION},
        {"record without creation time", with(7, record7.substr(0, record7.rfind('\t'))), PROBE_BAD_ANSWER},
        {"creation time zero", with(7, record7.substr(0, record7.rfind('\t')) + "\t0000000000000000"),
         PROBE_BAD_ANSWER},
        {"no header", with(0, "VEYRITH-PROBE32 1"), PROBE_BAD_ANSWER},
        {"header without version", with(0, "VEYRITH-PROBE64 "), PROBE_BAD_ANSWER},
        {"no self-test line", without(1), PROBE_BAD_ANSWER},
        {"self-test not a flag", with(1, "selftest\tyes\t0"), PROBE_BAD_ANSWER},
        {"self-test without the stages not run", with(1, "selftest\t1"), PROBE_BAD_ANSWER},
        {"stages not run beyond their bits", with(1, "selftest\t1\t256"), PROBE_BAD_ANSWER},
        {"module without its stages", with(5, "module\tc:\\two.dll"), PROBE_BAD_ANSWER},
        {"module stages not a number", with(5, "module\tc:\\two.dll\t-1"), PROBE_BAD_ANSWER},
        {"record before any module", without(2), PROBE_BAD_ANSWER},
        {"record count disagrees", with(8, "end\t3\t4"), PROBE_BAD_ANSWER},
        {"module count disagrees", with(8, "end\t2\t3"), PROBE_BAD_ANSWER},
        {"end line without counts", with(8, "end"), PROBE_BAD_ANSWER},
        {"a line after the end", JoinLines(lines) + "module\tc:\\x.dll\n", PROBE_BAD_ANSWER},
        {"text after the end line", JoinLines(lines) + "mod", PROBE_BAD_ANSWER},
        {"unknown line", with(5, "modules\tc:\\two.dll"), PROBE_BAD_ANSWER},
        {"empty module path", with(5, "module\t\t1"), PROBE_BAD_ANSWER},
        {"record short of two fields", with(7, record7.substr(0, record7.rfind('\t', record7.rfind('\t') - 1))),
         PROBE_BAD_ANSWER},
        {"record with a field too many", with(7, record7 + "\tx"), PROBE_BAD_ANSWER},
        {"visible not a flag", with(7, "record\tC:\\c.exe\t2\tC\t12\t0\t0\t\t\t00000000\t" + time), PROBE_BAD_ANSWER},
        {"process id not a number", with(7, "record\tC:\\c.exe\t0\tC\t1x\t0\t0\t\t\t00000000\t" + time), PROBE_BAD_ANSWER},
        {"unknown autorun kind", with(7, "record\tC:\\c.exe\t0\tC\t12\t0\t4\t\t\t00000000\t" + time), PROBE_BAD_ANSWER},
        {"root key not hex", with(7, "record\tC:\\c.exe\t0\tC\t12\t0\t0\t\t\t8000000G\t" + time), PROBE_BAD_ANSWER},
        {"unknown escape", with(7, "record\tC:\\c.exe\t0\tC\\q\t12\t0\t0\t\t\t00000000\t" + time), PROBE_BAD_ANSWER},
        {"escaped unit that is no surrogate",
         with(7, "record\tC:\\c.exe\t0\tC\\u0041\t12\t0\t0\t\t\t00000000\t" + time), PROBE_BAD_ANSWER},
        {"escaped unit cut short", with(7, "record\tC:\\c.exe\t0\tC\\uD80\t12\t0\t0\t\t\t00000000\t" + time),
         PROBE_BAD_ANSWER},
        {"bytes that are not UTF-8", with(7, "record\tC:\\c\xE9.exe\t0\tC\t12\t0\t0\t\t\t00000000\t" + time),
         PROBE_BAD_ANSWER},
        {"a number in other digits",
         with(7, "record\tC:\\c.exe\t0\tC\t\xD9\xA1\xD9\xA2\t0\t0\t\t\t00000000\t" + time), PROBE_BAD_ANSWER},
        {"path too long for its field",
         with(7, "record\t" + std::string(260, 'p') + "\t0\tC\t12\t0\t0\t\t\t00000000\t" + time), PROBE_BAD_ANSWER},
        {"path too long for its field in CJK letters",
         with(7, "record\t" + Repeated("\xE7\x9B\x91", 260) + "\t0\tC\t12\t0\t0\t\t\t00000000\t" + time),
         PROBE_BAD_ANSWER},
        {"description too long for its field",
         with(7, "record\tC:\\c.exe\t0\t" + std::string(1024, 'd') + "\t12\t0\t0\t\t\t00000000\t" + time),
         PROBE_BAD_ANSWER},
        {"value name too long for its field",
         with(7, "record\tC:\\c.exe\t0\tC\t12\t0\t1\tk\tp\t80000001\t" + std::string(128, 'v') + time),
         PROBE_BAD_ANSWER},
    };
    for (const Damage& damage : damages) {
        ProbeAnswer damaged = GoodAnswer();
        outcome = PROBE_OK;
        EXPECT_FALSE(ParseProbeAnswer(damage.text, damaged, outcome)) << damage.what;
        EXPECT_EQ(damage.outcome, outcome) << damage.what;
        EXPECT_TRUE(damaged.modules.empty() && !damaged.selfTestSeen) << damage.what;
    }
}

namespace {

// An answer of `modules` modules with `perModule` records each, whose
// descriptions have `descriptionChars` characters.
std::string FloodedAnswer(size_t modules, size_t perModule, size_t descriptionChars = 0) {
    std::string text = "VEYRITH-PROBE64 3\nselftest\t1\t0\n";
    const std::string record = "record\tC:\\\\h.exe\t0\t" + std::string(descriptionChars, 'd') +
                               "\t8\t0\t0\t\t\t00000000\t\t01D0000000000001\n";
    for (size_t m = 0; m < modules; ++m) {
        text += "module\tc:\\\\m" + std::to_string(m) + ".dll\t16\n";
        for (size_t r = 0; r < perModule; ++r) text += record;
    }
    return text + "end\t" + std::to_string(modules) + "\t" + std::to_string(modules * perModule) + "\n";
}

// Reads an answer; a refused one leaves nothing behind.
bool Reads(const std::string& text, ProbeOutcome& outcome) {
    ProbeAnswer answer;
    outcome = PROBE_OK;
    bool read = ParseProbeAnswer(text, answer, outcome);
    if (!read) {
        EXPECT_TRUE(answer.modules.empty());
    }
    return read;
}

}  // namespace

// Every bound holds at its limit and refuses one beyond it like a malformed
// answer.
TEST(ProbeAnswer, AnswersOverABoundAreRefused) {
    ProbeOutcome outcome = PROBE_OK;
    EXPECT_TRUE(Reads(FloodedAnswer(kProbeAnswerMaxModules, 0), outcome));
    EXPECT_FALSE(Reads(FloodedAnswer(kProbeAnswerMaxModules + 1, 0), outcome));
    EXPECT_EQ(PROBE_BAD_ANSWER, outcome);
    EXPECT_TRUE(Reads(FloodedAnswer(1, kProbeAnswerMaxRecordsPerModule), outcome));
    EXPECT_FALSE(Reads(FloodedAnswer(1, kProbeAnswerMaxRecordsPerModule + 1), outcome));
    EXPECT_EQ(PROBE_BAD_ANSWER, outcome);
    const size_t modules = kProbeAnswerMaxRecords / kProbeAnswerMaxRecordsPerModule;
    EXPECT_TRUE(Reads(FloodedAnswer(modules, kProbeAnswerMaxRecordsPerModule), outcome));
    EXPECT_FALSE(Reads(FloodedAnswer(modules + 1, kProbeAnswerMaxRecordsPerModule), outcome));
    EXPECT_EQ(PROBE_BAD_ANSWER, outcome);
    // Within the counts, but longer than any answer may be.
    std::string tooLong = FloodedAnswer(modules, kProbeAnswerMaxRecordsPerModule, 1000);
    ASSERT_GT(tooLong.size(), kProbeAnswerMaxBytes);
    EXPECT_FALSE(Reads(tooLong, outcome));
    EXPECT_EQ(PROBE_BAD_ANSWER, outcome);
}

// A flood of 350,000 well-formed records through the real client: the worker
// stops reading at a bound, the run ends as an unreadable answer, and this
// process goes on.
TEST(ProbeAnswer, AFloodedAnswerThroughTheClientIsUnreadable) {
    testing_support::TempFolder folder;
    ASSERT_TRUE(CopyFileA((testing_support::BinDir() + "flood_answer.exe").c_str(),
                          (folder.Path() + kProbe64FileName).c_str(), FALSE));
    CProbe64Run run;
    ASSERT_TRUE(run.Start(testing_support::Wide(folder.Path()), nullptr, 0, 60000));
    ProbeOutcome outcome = PROBE_OK;
    ProbeAnswer answer;
    DWORD started = GetTickCount();
    while (!run.TakeResult(outcome, answer) && GetTickCount() - started < 60000) Sleep(50);
    EXPECT_EQ(PROBE_BAD_ANSWER, outcome);
    EXPECT_TRUE(answer.modules.empty());
}
