// The info pane's pages, stylesheet and heading picture as the executable
// carries them: names, type, and what the pages link and say.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "findings/findings.h"

namespace {

const char* const kPageNames[] = {"HTML_INITIAL_INFO_TEXT", "HTML_SCANNING_COMPLETE",
                                  "HTML_SPY_NOT_DETECTED"};

// The bytes of an HTML-type resource of this executable; empty when missing.
std::string LoadHtmlResource(const char* name) {
    HRSRC info = FindResourceA(nullptr, name, MAKEINTRESOURCEA(23));
    if (!info) return std::string();
    HGLOBAL handle = LoadResource(nullptr, info);
    const char* data = handle ? static_cast<const char*>(LockResource(handle)) : nullptr;
    if (!data) return std::string();
    return std::string(data, SizeofResource(nullptr, info));
}

std::vector<std::string> AllMatches(const std::string& text, const std::string& pattern) {
    std::regex re(pattern, std::regex::icase);
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) {
        found.push_back((*it)[1].str());
    }
    return found;
}

std::string Heading(const std::string& page) {
    std::vector<std::string> headings = AllMatches(page, "<h1>([^<]*)</h1>");
    return headings.size() == 1 ? headings[0] : std::string();
}

// Text as displayed: tags dropped (each block of the pages is on a line of
// its own), non-breaking spaces and runs of white
// space made single spaces.
std::string DisplayedText(const std::string& page) {
    std::string text = std::regex_replace(page, std::regex("<[^>]*>"), "");
    text = std::regex_replace(text, std::regex("&nbsp;"), " ");
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

COLORREF ParseHexColour(const std::string& hex) {
    unsigned long value = std::stoul(hex, nullptr, 16);
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

}  // namespace

TEST(PageResources, EveryPageLinksOnlyTheStylesheetAndStartsWithOneHeading) {
    for (const char* name : kPageNames) {
        SCOPED_TRACE(name);
        std::string page = LoadHtmlResource(name);
        ASSERT_FALSE(page.empty());
        std::regex headPattern("<head>([\\s\\S]*)</head>", std::regex::icase);
        std::smatch head;
        ASSERT_TRUE(std::regex_search(page, head, headPattern));
        std::string headText = std::regex_replace(head[1].str(), std::regex("\\s+"), " ");
        EXPECT_EQ(" <link rel=\"stylesheet\" type=\"text/css\" href=\"styles.css\"> ", headText);
        std::smatch body;
        ASSERT_TRUE(std::regex_search(page, body, std::regex("<body>\\s*<h1>", std::regex::icase)));
        EXPECT_FALSE(Heading(page).empty());
    }
}

TEST(PageResources, HeadingsAndLinksOfThePages) {
    std::string welcome = LoadHtmlResource("HTML_INITIAL_INFO_TEXT");
    std::string complete = LoadHtmlResource("HTML_SCANNING_COMPLETE");
    std::string none = LoadHtmlResource("HTML_SPY_NOT_DETECTED");
    EXPECT_EQ("Welcome to Veyrith!", Heading(welcome));
    EXPECT_EQ("Scanning complete", Heading(complete));
    EXPECT_EQ("Congratulations! No system-wide monitoring files were found on your PC",
              Heading(none));

    EXPECT_EQ(std::string::npos, welcome.find("<a ")) << "the welcome page holds no link";
    std::vector<std::string> targets = AllMatches(none, "<a [^>]*target=\"([^\"]*)\"");
    ASSERT_EQ(1u, targets.size());
    EXPECT_EQ("_blank", targets[0]);
    EXPECT_EQ(1u, AllMatches(none, "(<a )").size());
}

TEST(PageResources, PagesSayWhatTheUserReads) {
    EXPECT_NE(std::string::npos,
              DisplayedText(LoadHtmlResource("HTML_INITIAL_INFO_TEXT"))
                  .find("This program will help you to find and remove keyloggers and other spy "
                        "software."));
    std::string complete = DisplayedText(LoadHtmlResource("HTML_SCANNING_COMPLETE"));
    EXPECT_NE(std::string::npos, complete.find("using Quaratine file button."));
    EXPECT_NE(std::string::npos,
              complete.find("Right-click on the application in the list to show available "
                            "actions."));
    EXPECT_NE(std::string::npos,
              DisplayedText(LoadHtmlResource("HTML_SPY_NOT_DETECTED"))
                  .find("Don't forget to visit our site to find the latest update to Veyrith ."));
}

TEST(PageResources, LegendColoursAreTheAlertLevelColours) {
    std::string page = LoadHtmlResource("HTML_SCANNING_COMPLETE");
    std::vector<std::string> colours = AllMatches(page, "<td[^>]*bgcolor=\"#([0-9a-f]{6})\"");
    ASSERT_EQ(static_cast<size_t>(kAlertLevelCount), colours.size());
    for (int i = 0; i < kAlertLevelCount; ++i) {
        SCOPED_TRACE("alert level " + std::to_string(i + 1));
        EXPECT_EQ(kAlertColors[i].back, ParseHexColour(colours[i]));
    }
}

TEST(PageResources, StylesheetDrawsHeadingsOverThePicture) {
    std::string css = LoadHtmlResource("STYLES.CSS");
    std::smatch rule;
    ASSERT_TRUE(std::regex_search(css, rule, std::regex("H1\\s*\\{([^}]*)\\}")));
    std::string h1 = rule[1].str();
    EXPECT_NE(std::string::npos, h1.find("background-image: url(header.jpg);"));
    EXPECT_NE(std::string::npos, h1.find("color: #0E3B75;"));
    EXPECT_NE(std::string::npos, h1.find("text-align: center;"));
}

// Pages ask for "styles.css" and "header.jpg"; the entries are stored under
// upper-case names, and the lookup must still find them.
TEST(PageResources, LowerCaseReferencesFindTheUpperCaseEntries) {
    EXPECT_EQ(LoadHtmlResource("STYLES.CSS"), LoadHtmlResource("styles.css"));
    EXPECT_FALSE(LoadHtmlResource("styles.css").empty());
    EXPECT_FALSE(LoadHtmlResource("header.jpg").empty());
}

// A baseline JPEG of 300 x 32 pixels: the frame header (SOF0) holds height
// then width, big-endian.
TEST(PageResources, HeaderPictureIsA300By32Jpeg) {
    std::string jpeg = LoadHtmlResource("HEADER.JPG");
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ('\xFF', jpeg[0]);
    EXPECT_EQ('\xD8', jpeg[1]);
    size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(std::string::npos, sof);
    ASSERT_LT(sof + 9, jpeg.size());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(jpeg.data()) + sof;
    EXPECT_EQ(32, (p[5] << 8) | p[6]);
    EXPECT_EQ(300, (p[7] << 8) | p[8]);
}
