// The provocation: stimuli in the scanning program's own windows that make
// the window manager call every kind of system-wide hook in this process,
// one kind per stage (provocation_stage.h), so that it asks for the module
// of each hook and the loader hooks record (and refuse) it. The window's
// scan, the console scan and the 64-bit companion run the same stages from
// this code. Nothing reaches another program's windows, and the only key
// pressed is one that no keyboard has.
#pragma once

#include <windows.h>

#include "scanner/provocation_stage.h"

// F24: no keyboard has it, so no program acts on it.
constexpr BYTE kProvokingKey = 0x87;
// The stages that reach the self-test's hooks (keyboard and get-message).
constexpr StageSet kSelfTestStages = StageBit(STAGE_POSTED_MESSAGE) | StageBit(STAGE_KEYBOARD);

class CProvocation {
public:
    // How long a stage waits for its own stimulus to arrive.
    static constexpr DWORD kStageTimeoutMs = 500;

    // Creates the provocation's window: a popup of one pixel off every
    // screen. returnTo, when given, gets the foreground back after each
    // stage that took it.
    explicit CProvocation(HINSTANCE instance, HWND returnTo = nullptr);
    ~CProvocation();
    CProvocation(const CProvocation&) = delete;
    CProvocation& operator=(const CProvocation&) = delete;

    HWND Window() const { return m_hWnd; }
    // Runs one stage on this thread: the stimulus, then the messages of the
    // provocation's own windows are handled until it has arrived. Requests
    // of the window manager on this thread meanwhile are noted with the
    // stage. False when the stage could not run (no window, no foreground,
    // its stimulus never arrived).
    bool RunStage(int stage);
    // Runs the given stages in order; returns those that could not run.
    StageSet RunStages(StageSet stages = kAllStages);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // What a stage needs before its stimulus (the foreground, the focus);
    // false when it cannot be had.
    bool Prepare(int stage);
    bool Stimulate(int stage);
    bool PostedMessage();
    bool SentMessage();
    bool OwnWindow();
    bool MouseInput();
    bool KeyboardInput();
    bool ModalLoop();
    bool Idle();
    bool TakeForeground();
    // Handles messages of window until the arrival flag is set or the time is up.
    bool AwaitArrival(HWND window, DWORD timeoutMs);

    HINSTANCE m_hInstance;
    HWND m_hReturnTo;
    HWND m_hWnd = nullptr;
    bool m_bArrived = false;
    UINT m_nAwaited = 0;
};
