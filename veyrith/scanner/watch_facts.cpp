#include "scanner/watch_facts.h"

#include "resources/resource.h"

namespace {

bool Has(StageSet stages, ProvocationStage stage) { return (stages & StageBit(stage)) != 0; }

}  // namespace

// Each stage reaches its own kind of hook and, through the messages its
// stimulus makes, a few others: every stage that takes messages from the
// queue reaches the get-message hooks, every stage that makes the system
// send messages the call-window-procedure hooks. A fact is told only where
// the stage that reached the module is not explained by those.
WatchFacts WatchFactsOf(StageSet stages) {
    bool posted = Has(stages, STAGE_POSTED_MESSAGE);
    bool sent = Has(stages, STAGE_SENT_MESSAGE);
    WatchFacts facts = 0;
    if (Has(stages, STAGE_KEYBOARD) || posted) facts |= WATCH_KEYSTROKES;
    if (Has(stages, STAGE_MOUSE) && (posted || !sent)) facts |= WATCH_MOUSE;
    if (sent || (Has(stages, STAGE_WINDOW) && !posted)) facts |= WATCH_WINDOWS;
    if (!facts && stages) facts = WATCH_OTHER;
    return facts;
}

const char* WatchFactKey(WatchFact fact) {
    switch (fact) {
    case WATCH_KEYSTROKES: return "reads keystrokes";
    case WATCH_MOUSE: return "watches the mouse";
    case WATCH_WINDOWS: return "watches windows";
    case WATCH_OTHER: return "other";
    }
    return "";
}

unsigned WatchFactTextId(WatchFact fact) {
    switch (fact) {
    case WATCH_KEYSTROKES: return IDS_WATCH_KEYSTROKES;
    case WATCH_MOUSE: return IDS_WATCH_MOUSE;
    case WATCH_WINDOWS: return IDS_WATCH_WINDOWS;
    case WATCH_OTHER: return IDS_WATCH_OTHER;
    }
    return 0;
}

const char* StageKey(int stage) {
    static const char* const kKeys[kStageCount] = {"posted-message", "sent-message", "window", "mouse",
                                                    "keyboard",       "modal-loop",   "idle"};
    return stage >= 0 && stage < kStageCount ? kKeys[stage] : nullptr;
}

unsigned StageTextId(int stage) { return stage >= 0 && stage < kStageCount ? IDS_STAGE_FIRST + stage : 0; }
