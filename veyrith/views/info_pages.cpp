#include "views/info_pages.h"

#include "census/watch_texts.h"
#include "common/executable_folder.h"
#include "common/string_resource.h"
#include "report/report_page.h"
#include "resources/resource.h"
#include "views/web_browser2.h"

const char kInitialInfoPage[] = "HTML_INITIAL_INFO_TEXT";
const char kScanningCompletePage[] = "HTML_SCANNING_COMPLETE";
const char kSpyNotDetectedPage[] = "HTML_SPY_NOT_DETECTED";
const char kScanUnconfirmedPage[] = "HTML_SCAN_UNCONFIRMED";

namespace {

const char kStyleSheet[] = "STYLES.CSS";

// The stylesheet of the program's pages, by its res: address (a page made
// by the program has no address of its own to resolve "styles.css" from).
std::wstring StyleSheetLink() {
    std::wstring url;
    if (!InfoPageUrl(kStyleSheet, &url)) return std::wstring();
    return L"<link rel=\"stylesheet\" type=\"text/css\" href=\"" + HtmlEscaped(url) + L"\">";
}

std::wstring WatchesLine(const CModuleFinding& finding) {
    WatchFacts facts = finding.Watches();
    std::wstring words = facts ? WatchFactsText(facts) : LoadResString(IDS_WATCH_UNKNOWN);
    return L"<p>" + HtmlEscaped(FormatResText(IDS_MODULE_PAGE_WATCHES, L"%s", words)) + L"</p>";
}

std::wstring ClassicKeyloggerLine(const CScanResult& result, int module) {
    if (!ShowsClassicKeylogger(result, module, GetCurrentProcessId())) return std::wstring();
    return L"<p><strong>" + HtmlEscaped(LoadResString(IDS_CLASSIC_KEYLOGGER)) + L"</strong></p>";
}

}  // namespace

std::wstring ModulePageHtml(const CScanResult& result, int module) {
    if (!result.IsModule(module)) return std::wstring();
    const CModuleFinding& finding = result.Finding(module);
    std::wstring mark = finding.Is64Bit() ? LoadResString(IDS_MODULE_64BIT_MARK) : std::wstring();
    return L"<html><head>" + StyleSheetLink() + L"</head><body><h1>" + HtmlEscaped(mark + finding.path) +
           L"</h1>" + WatchesLine(finding) + ClassicKeyloggerLine(result, module) + L"</body></html>";
}

std::wstring InlinePageUrl(const std::wstring& html) {
    std::wstring url = L"about:";
    for (wchar_t c : html) {
        if (c == L'%')
            url += L"%25";
        else if (c == L'#')
            url += L"%23";
        else
            url += c;
    }
    return url;
}

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
