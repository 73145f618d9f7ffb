// A status bar with a stretching message pane first and fixed indicator
// panes after it. An indicator shows its text (a string resource) while its
// toggle key is on and nothing while it is off; UpdateIndicators reads the
// keys, so a frame calls it when idle.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>

#include "framework/wnd.h"
#include <string>
#include <vector>

namespace fw {

class StatusBar : public Wnd {
public:
    struct Indicator {
        UINT stringId;    // the text shown while the key is on
        int virtualKey;   // the toggle key (VK_CAPITAL, VK_NUMLOCK, VK_SCROLL)
    };

    bool Create(HWND parent, UINT id, DWORD style);
    // Pane 0 is the message pane, then one pane per indicator, each as wide
    // as its text.
    bool SetIndicators(const std::vector<Indicator>& indicators);
    // Sets a pane's text; nothing is sent when the pane shows it already.
    void SetPaneText(int pane, const std::wstring& text);
    std::wstring PaneText(int pane) const;
    int PaneCount() const { assert(::IsWindow(Handle())); return static_cast<int>(SendMessageW(Handle(), SB_GETPARTS, 0, 0)); }
    void UpdateIndicators();
    // Lays the bar out again after its parent changed size.
    void Resize();

private:
    void SetParts();

    std::vector<Indicator> m_indicators;
    std::vector<int> m_widths;
};

}  // namespace fw
