// What a module watches, in plain words, from the stages of the provocation
// that made the window manager request it.
#pragma once

#include "scanner/provocation_stage.h"

enum WatchFact : unsigned {
    WATCH_KEYSTROKES = 1,  // keyboard hooks, and hooks on every posted message (they see typed characters)
    WATCH_MOUSE = 2,       // mouse hooks
    WATCH_WINDOWS = 4,     // window creation and activation, sent messages
    WATCH_OTHER = 8,       // modal loops, idle, or nothing the stages name
};
typedef unsigned WatchFacts;

// The facts in the order they are shown, most telling first.
constexpr WatchFact kWatchFacts[] = {WATCH_KEYSTROKES, WATCH_MOUSE, WATCH_WINDOWS, WATCH_OTHER};

// The facts of a module requested in these stages; 0 for no stage at all
// (a module that was not requested).
WatchFacts WatchFactsOf(StageSet stages);
// The fact's words for machine-readable output ("reads keystrokes", ...).
const char* WatchFactKey(WatchFact fact);
// The fact's words for people (a string resource id).
unsigned WatchFactTextId(WatchFact fact);
