// The exported report: the modules of the tree with their descriptions and
// the time of the export, as a small HTML file opened with the shell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// One module of the report: its path as the tree shows it and its file
// description ("Description absent" when it has none).
struct ReportRow {
    std::string path;
    std::string description;
};

// The support address of the report's mail link.
constexpr char kSupportAddress[] = "support@tarnwick.example";

// The rows for the tree's module items, in the tree's order, each with the
// file description the tree shows for it.
std::vector<ReportRow> ReportRowsFor(const std::vector<std::string>& modulePaths);

// The report's text for rows and one reading of the clock, with "\r\n" line
// breaks. Every inserted text (paths, descriptions, date, time) has &, <, >
// and " escaped: a description is chosen by whoever wrote the module.
std::string BuildReport(const std::vector<ReportRow>& rows, const SYSTEMTIME& now);

// Writes the report to path (an existing file is replaced). False when the
// file cannot be created (the save error is shown) or not written whole (a
// message says so; the part written stays).
bool WriteReport(const std::string& path, const std::vector<ReportRow>& rows);

// The Save As dialog and the shell's open, replaceable in tests.
using SavePathChooser = std::function<bool(HWND owner, std::string& path)>;
using ReportOpener = std::function<void(const std::string& path)>;
void SetReportSeams(SavePathChooser chooser, ReportOpener opener);

// The export command: asks for a file name, writes the report there and
// opens it. Nothing happens when the user cancels.
void ExportResults(HWND owner, const std::vector<std::string>& modulePaths);
