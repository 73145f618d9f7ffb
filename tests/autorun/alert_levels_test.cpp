// Alert levels and their colours for every combination of the three facts.
#include "findings/findings.h"

#include <gtest/gtest.h>

namespace {

TEST(AlertLevels, EveryCombinationOfFacts) {
    const struct {
        bool visible, autorun, sameFolder;
        int level;
        COLORREF back, text;
    } rows[] = {
        {false, true, true, 1, RGB(255, 0, 0), RGB(255, 255, 255)},
        {false, false, true, 2, RGB(170, 0, 0), RGB(255, 255, 255)},
        {false, true, false, 3, RGB(255, 192, 203), RGB(139, 0, 0)},
        {false, false, false, 4, RGB(230, 230, 250), RGB(0, 0, 0)},
        {true, true, true, 5, RGB(175, 238, 238), RGB(0, 0, 0)},
        {true, true, false, 5, RGB(175, 238, 238), RGB(0, 0, 0)},
        {true, false, true, 6, RGB(200, 200, 200), RGB(0, 0, 0)},
        {true, false, false, 6, RGB(200, 200, 200), RGB(0, 0, 0)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "visible " << row.visible << " autorun " << row.autorun
                                        << " same folder " << row.sameFolder);
        EXPECT_EQ(DecideAlertLevel(row.visible, row.autorun, row.sameFolder), row.level);
        CListItemState record = {};
        record.m_bVisible = row.visible;
        record.m_autoRun.m_nType = row.autorun ? AUTORUN_WININI : AUTORUN_NONE;
        record.m_bSameFolder = row.sameFolder;
        EXPECT_EQ(ApplyAlertLevel(record), row.level);
        EXPECT_EQ(record.m_crBack, row.back);
        EXPECT_EQ(record.m_crText, row.text);
    }
}

}  // namespace
