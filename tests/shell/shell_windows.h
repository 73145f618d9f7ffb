// Shared pieces of the in-process shell tests: a main frame that records
// the input it receives (on the desktop it is given, with the tool of the
// test program's folder), and pumping through the application's own loop.
#pragma once

#include "shell/main_frame.h"
#include "shell/veyrith_app.h"
#include "test_support.h"

#include <vector>

class RecordingFrame : public CMainFrame {
public:
    explicit RecordingFrame(CDesktop& desktop)
        : CMainFrame(desktop, testing_support::Wide(testing_support::BinDir())) {}
    std::vector<UINT> input;  // key and button messages that reached the frame

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || msg == WM_LBUTTONDOWN ||
            msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_NCLBUTTONDOWN ||
            msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN)
            input.push_back(msg);
        return CMainFrame::OnMessage(msg, wParam, lParam);
    }
};

// Pumps through the application's loop until done() holds or the time is
// up; returns whether done() held.
template <typename Done>
bool PumpUntil(fw::Application& app, DWORD timeoutMs, Done done) {
    DWORD start = GetTickCount();
    for (;;) {
        app.PumpWaiting();
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
