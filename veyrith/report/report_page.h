// The exported report's page: the modules found with their descriptions and
// the time of the export, as the bytes of a small HTML file. The file is
// UTF-8 and says so in its head, so every path shows as it is. Nothing here
// opens a window: the window's export and the command-line scan write the
// same page.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "census/scan_result.h"

// One module of the report: its path as the scan recorded it, its file
// description ("Description absent" when it has none) and what it watches.
struct ReportRow {
    std::wstring path;
    std::wstring description;
    WatchFacts watches = 0;
};

// The support address of the report's mail link.
constexpr char kSupportAddress[] = "support@tarnwick.example";

// The rows for the modules of a scan's result, in its order, each with the
// file description the tree shows for it and its facts.
std::vector<ReportRow> ReportRowsFor(const CScanResult& result);

// The report's bytes (UTF-8) for rows and one reading of the clock, with
// "\r\n" line breaks; the stages of the provocation that could not run, if
// any, are named below the table. Every inserted text (paths,
// descriptions, date, time) has &, <, > and " escaped: a description is
// chosen by whoever wrote the module.
std::string BuildReport(const std::vector<ReportRow>& rows, const SYSTEMTIME& now, StageSet stagesNotRun = 0);

// text with &, <, > and " written as their character references, for any
// page that shows a text a module's author may have chosen.
std::wstring HtmlEscaped(const std::wstring& text);

// The string resource id with its one placeholder (%d or %s) replaced by value.
std::wstring FormatResText(UINT id, const wchar_t* placeholder, const std::wstring& value);
