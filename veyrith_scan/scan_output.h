// What veyrith_scan writes: the JSON document, the short summary and the
// HTML report, and how a file is written whole or not at all.
#pragma once

#include <windows.h>

#include <string>

#include "veyrith_scan/console_scan.h"

// The version of the JSON document's layout.
constexpr int kScanJsonFormat = 1;

// The JSON document (UTF-8) of a scan's result, for a computer name and a
// time (UTC).
std::string ScanJson(const CScanResult& result, const std::wstring& computer, const SYSTEMTIME& utc);

// text as the body of a JSON string, without the quotes: quotes,
// backslashes and control characters escaped, everything else UTF-8 (an
// unpaired surrogate becomes U+FFFD).
std::string JsonEscaped(const std::wstring& text);

// The short summary for a person: the modules with their hosts and alert
// texts, or that nothing was found, and the scan's verdict.
std::wstring ScanSummary(const CScanResult& result);

// The HTML report that the window exports, for the modules found.
std::string ScanReport(const CScanResult& result);

// Writes bytes to path through a temporary file beside it that is renamed
// at the end: a path that cannot be written keeps no part of the text.
// "-" is standard output.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// Writes text to standard output (or standard error): UTF-16 to a console,
// UTF-8 to anything else.
bool PrintText(const std::wstring& text, bool toError = false);

// The computer's name; empty when it cannot be read.
std::wstring ComputerName();
