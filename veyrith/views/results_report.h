// The export command: the report page (report/report_page.h) of the scan's
// result, saved where the user chooses and opened with the shell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "report/report_page.h"

// Writes the report to path (an existing file is replaced). False when the
// file cannot be created (the save error is shown) or not written whole (a
// message says so; the part written stays).
bool WriteReport(const std::wstring& path, const std::vector<ReportRow>& rows);

// The Save As dialog and the shell's open, replaceable in tests.
using SavePathChooser = std::function<bool(HWND owner, std::wstring& path)>;
using ReportOpener = std::function<void(const std::wstring& path)>;
void SetReportSeams(SavePathChooser chooser, ReportOpener opener);

// The export command: asks for a file name, writes the report of the
// result's modules there and opens it. Nothing happens when the user
// cancels.
void ExportResults(HWND owner, const CScanResult& result);
