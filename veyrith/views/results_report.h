// The exported report: the modules of the tree with their descriptions and
// the time of the export, as a small HTML file opened with the shell. The
// file is UTF-8 and says so in its head, so every path shows as it is.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// One module of the report: its path as the tree shows it and its file
// description ("Description absent" when it has none).
struct ReportRow {
    std::wstring path;
    std::wstring description;
};

// The support address of the report's mail link.
constexpr char kSupportAddress[] = "support@tarnwick.example";

// The rows for the tree's module items, in the tree's order, each with the
// file description the tree shows for it.
std::vector<ReportRow> ReportRowsFor(const std::vector<std::wstring>& modulePaths);

// The report's bytes (UTF-8) for rows and one reading of the clock, with
// "\r\n" line breaks. Every inserted text (paths, descriptions, date, time)
// has &, <, > and " escaped: a description is chosen by whoever wrote the
// module.
std::string BuildReport(const std::vector<ReportRow>& rows, const SYSTEMTIME& now);

// Writes the report to path (an existing file is replaced). False when the
// file cannot be created (the save error is shown) or not written whole (a
// message says so; the part written stays).
bool WriteReport(const std::wstring& path, const std::vector<ReportRow>& rows);

// The Save As dialog and the shell's open, replaceable in tests.
using SavePathChooser = std::function<bool(HWND owner, std::wstring& path)>;
using ReportOpener = std::function<void(const std::wstring& path)>;
void SetReportSeams(SavePathChooser chooser, ReportOpener opener);

// The export command: asks for a file name, writes the report there and
// opens it. Nothing happens when the user cancels.
void ExportResults(HWND owner, const std::vector<std::wstring>& modulePaths);
