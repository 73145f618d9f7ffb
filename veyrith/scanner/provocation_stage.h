// The stages of a scan's provocation. Each stage makes the window manager
// call one kind of system-wide hook in this process, with stimuli that stay
// inside the scanning program's own windows; the module of every hook it
// reaches is requested while that stage runs, so the stages that requested
// a module tell what it watches (watch_facts.h).
#pragma once

// In the order they run.
enum ProvocationStage {
    STAGE_POSTED_MESSAGE,  // a message posted to its own window and taken from the queue
    STAGE_SENT_MESSAGE,    // a message sent to its own window
    STAGE_WINDOW,          // an unowned top-level window created, shown, activated, destroyed
    STAGE_MOUSE,           // mouse input captured by its own window
    STAGE_KEYBOARD,        // the provoking key pressed in its own window
    STAGE_MODAL_LOOP,      // a modal dialog of its own that ends itself
    STAGE_IDLE,            // its own thread idle while it has the foreground
    kStageCount
};

// A set of stages, one bit each; kOutsideStages marks a request that came
// while no stage ran.
typedef unsigned StageSet;
constexpr StageSet StageBit(int stage) { return 1u << stage; }
constexpr StageSet kOutsideStages = 1u << kStageCount;
constexpr StageSet kAllStages = kOutsideStages - 1;

// The stage's name for machine-readable output ("posted-message", ...);
// nullptr for anything but a stage.
const char* StageKey(int stage);
// The stage's name for people (a string resource id); 0 for anything but a stage.
unsigned StageTextId(int stage);
