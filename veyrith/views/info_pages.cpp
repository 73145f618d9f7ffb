#include "views/info_pages.h"

#include "common/executable_folder.h"
#include "views/web_browser2.h"

const char kInitialInfoPage[] = "HTML_INITIAL_INFO_TEXT";
const char kScanningCompletePage[] = "HTML_SCANNING_COMPLETE";
const char kSpyNotDetectedPage[] = "HTML_SPY_NOT_DETECTED";
const char kScanUnconfirmedPage[] = "HTML_SCAN_UNCONFIRMED";

const char* PageAfterScan(bool foundModules, bool confirmed) {
    if (foundModules) return kScanningCompletePage;
    return confirmed ? kSpyNotDetectedPage : kScanUnconfirmedPage;
}

const char* PageAfterScan(const CScanResult& result) { return PageAfterScan(!result.Empty(), result.Confirmed()); }

std::wstring ResUrl(const wchar_t* modulePath, const char* resourceName) {
    std::string name(resourceName);
    return std::wstring(L"res://") + modulePath + L"/" + std::wstring(name.begin(), name.end());
}

bool InfoPageUrl(const char* resourceName, std::wstring* url) {
    // A path cut short would name some other file: none is given then.
    std::wstring path = ExecutablePath();
    if (path.empty()) return false;
    *url = ResUrl(path.c_str(), resourceName);
    return true;
}

void ShowInfoPage(CWebBrowser2& browser, const char* resourceName) {
    std::wstring url;
    if (InfoPageUrl(resourceName, &url)) browser.Navigate(url.c_str());
}

RECT InfoBrowserRect(int cx, int cy) {
    RECT rect = {-2, -2, cx, cy};
    return rect;
}
