// The info pane's pages: their resource names, which one follows a scan,
// and the res: address that loads one from the running executable.
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

// Loads a page of the running executable into the browser. Nothing happens
// when the executable's path cannot be read; what the control does with the
// address (including a missing resource) is its own business.
void ShowInfoPage(CWebBrowser2& browser, const char* resourceName);

// Where the browser goes in a pane of the given client size: its two-pixel
// border lies left and above the pane, its right and bottom edges meet the
// pane's.
RECT InfoBrowserRect(int cx, int cy);
