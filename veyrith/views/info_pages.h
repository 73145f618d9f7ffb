// The info pane's pages: their resource names, which one follows a scan,
// the res: address that loads one from the running executable, and the
// page of one module of the scan's result, which the pane makes itself.
#pragma once

#include <windows.h>

#include <string>

#include "census/scan_result.h"

class CWebBrowser2;

extern const char kInitialInfoPage[];     // welcome page, shown until the first scan ends
extern const char kScanningCompletePage[];  // after a scan that found modules
extern const char kSpyNotDetectedPage[];    // after a scan that found none
extern const char kScanUnconfirmedPage[];   // after a scan that found none and may be blind

// The page to show when a scan has ended; confirmed tells that the scan saw
// its own test hook (and the 64-bit check, where there is one, answered).
const char* PageAfterScan(bool foundModules, bool confirmed = true);
// The page after a scan with this result: whether it found modules, and
// its verdict.
const char* PageAfterScan(const CScanResult& result);

// "res://<modulePath>/<resourceName>".
std::wstring ResUrl(const wchar_t* modulePath, const char* resourceName);

// The res: address of a page of the running executable, whose path may hold
// any name. False when the executable's full path cannot be read whole.
bool InfoPageUrl(const char* resourceName, std::wstring* url);

// The page of a module of the result, as HTML: its path, what it watches
// and, when it reads keystrokes and one of its hosts other than this
// process is hidden and starts with Windows, the sentence that names this
// as the way a keylogger works. Every inserted text is escaped as in the
// report (HtmlEscaped): the path is chosen by the module's author.
std::wstring ModulePageHtml(const CScanResult& result, int module);

// The address that carries a page made by the program whole: "about:" and
// the page, with '%' and '#' percent-encoded so that neither is read as an
// escape or the start of a fragment.
std::wstring InlinePageUrl(const std::wstring& html);

// Loads a page of the running executable into the browser. Nothing happens
// when the executable's path cannot be read; what the control does with the
// address (including a missing resource) is its own business.
void ShowInfoPage(CWebBrowser2& browser, const char* resourceName);

// Where the browser goes in a pane of the given client size: its two-pixel
// border lies left and above the pane, its right and bottom edges meet the
// pane's.
RECT InfoBrowserRect(int cx, int cy);
