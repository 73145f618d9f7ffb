// What a module watches, from the stages of the provocation that made the
// window manager request it.
#include <gtest/gtest.h>

#include "scanner/watch_facts.h"

namespace {

StageSet Stages(std::initializer_list<ProvocationStage> stages) {
    StageSet set = 0;
    for (ProvocationStage stage : stages) set |= StageBit(stage);
    return set;
}

TEST(WatchFacts, EachStageCombinationTellsWhatTheHookSees) {
    struct Case {
        StageSet stages;
        WatchFacts facts;
        const char* what;
    };
    const Case cases[] = {
        {Stages({STAGE_KEYBOARD}), WATCH_KEYSTROKES, "a keyboard hook"},
        // A get-message hook sees every posted message: typed characters,
        // the mouse's messages and those of the window stage.
        {Stages({STAGE_POSTED_MESSAGE, STAGE_KEYBOARD, STAGE_MOUSE, STAGE_WINDOW}), WATCH_KEYSTROKES | WATCH_MOUSE,
         "a get-message hook"},
        {Stages({STAGE_POSTED_MESSAGE}), WATCH_KEYSTROKES, "posted messages only"},
        // A call-window-procedure hook: the window and mouse stages send
        // messages too, which explains them.
        {Stages({STAGE_SENT_MESSAGE, STAGE_WINDOW, STAGE_MOUSE}), WATCH_WINDOWS, "a call-window-procedure hook"},
        {Stages({STAGE_WINDOW}), WATCH_WINDOWS, "a shell or computer-based-training hook"},
        {Stages({STAGE_MOUSE}), WATCH_MOUSE, "a mouse hook"},
        {Stages({STAGE_MODAL_LOOP}), WATCH_OTHER, "a message-filter hook"},
        {Stages({STAGE_IDLE}), WATCH_OTHER, "a foreground-idle hook"},
        {kOutsideStages, WATCH_OTHER, "a request while no stage ran"},
        {0, 0, "no stage at all"},
    };
    for (const Case& c : cases) EXPECT_EQ(WatchFactsOf(c.stages), c.facts) << c.what;
}

TEST(WatchFacts, KeysAndOrderAreTheDocumentedOnes) {
    ASSERT_EQ(sizeof(kWatchFacts) / sizeof(kWatchFacts[0]), 4u);
    const char* const keys[] = {"reads keystrokes", "watches the mouse", "watches windows", "other"};
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(WatchFactKey(kWatchFacts[i]), keys[i]);
    EXPECT_STREQ(StageKey(STAGE_POSTED_MESSAGE), "posted-message");
    EXPECT_STREQ(StageKey(STAGE_IDLE), "idle");
    EXPECT_EQ(StageKey(kStageCount), nullptr);
}

}  // namespace
