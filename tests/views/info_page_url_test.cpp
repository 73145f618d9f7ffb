// Which page the info pane loads, and the res: address that names it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "views/info_pages.h"

namespace {

std::wstring OwnPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

}  // namespace

TEST(InfoPageUrl, NamesThePageInsideTheRunningExecutable) {
    for (const char* name : {kInitialInfoPage, kScanningCompletePage, kSpyNotDetectedPage}) {
        std::wstring url;
        ASSERT_TRUE(InfoPageUrl(name, &url)) << name;
        EXPECT_EQ(L"res://" + OwnPath() + L"/" + std::wstring(name, name + strlen(name)), url);
    }
    std::wstring url;
    ASSERT_TRUE(InfoPageUrl(kScanningCompletePage, &url));
    EXPECT_EQ(0u, url.find(L"res://"));
    EXPECT_EQ(L':', url[7]) << "a full path with its drive";
    EXPECT_EQ(L"/HTML_SCANNING_COMPLETE", url.substr(url.rfind(L'/')));
}

TEST(InfoPageUrl, KeepsThePathAsItIs) {
    EXPECT_EQ(L"res://C:\\Program Files\\\u76d1\u89c6\\veyrith.exe/HTML_SPY_NOT_DETECTED",
              ResUrl(L"C:\\Program Files\\\u76d1\u89c6\\veyrith.exe", "HTML_SPY_NOT_DETECTED"));
}

TEST(InfoPageUrl, PageNamesAndThePageAfterAScan) {
    EXPECT_STREQ("HTML_INITIAL_INFO_TEXT", kInitialInfoPage);
    EXPECT_STREQ("HTML_SCANNING_COMPLETE", PageAfterScan(true));
    EXPECT_STREQ("HTML_SPY_NOT_DETECTED", PageAfterScan(false));
}

// The browser covers the pane but for its two-pixel border, which lies
// outside the pane's left and top edges.
TEST(InfoPageUrl, BrowserRectHidesItsBorderOutsideThePane) {
    RECT rect = InfoBrowserRect(400, 120);
    EXPECT_EQ(-2, rect.left);
    EXPECT_EQ(-2, rect.top);
    EXPECT_EQ(402, rect.right - rect.left);
    EXPECT_EQ(122, rect.bottom - rect.top);
}
