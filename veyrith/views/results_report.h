// The export command: the report page (report/report_page.h) of the scan's
// result, saved where the user chooses and opened with the shell, both
// through the desktop it is given.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/desktop.h"
#include "report/report_page.h"

// Writes the report to path (an existing file is replaced), naming the
// stages that could not run. False when the file cannot be created (the
// save error is shown) or not written whole (a message says so; the part
// written stays).
bool WriteReport(CDesktop& desktop, const std::wstring& path, const std::vector<ReportRow>& rows,
                 StageSet stagesNotRun = 0);

// The system's Save As dialog for the report, as the real desktop shows it:
// the newer style where the system has it, default extension htm, hide
// read-only, prompt before overwriting. False when the user cancels.
bool ChooseReportSavePath(HWND owner, std::wstring& path);

// The export command: asks the desktop for a file name, writes the report
// of the result's modules (and of its stages that could not run) there and has the desktop open it. Nothing
// happens when the user cancels.
void ExportResults(CDesktop& desktop, HWND owner, const CScanResult& result);
