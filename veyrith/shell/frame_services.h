// What the panes and the scan dialog ask of the main window. The main frame
// implements it; the panes never reach into the frame otherwise.
#pragma once

#include <windows.h>

#include <string>

class CLeftView;
class CVeyrithView;
class CInfoView;

class CFrameServices {
public:
    virtual ~CFrameServices() = default;

    // The frame's window: owner of context menus and target of commands.
    virtual HWND FrameWindow() const = 0;
    // Brings the frame forward, provokes hook loading and arms the scan timer.
    virtual void StartScan() = 0;
    // Text of the status bar's message pane.
    virtual void SetMessageText(const std::string& text) = 0;
    // State of the command bar's "show hidden only" check box.
    virtual bool IsHiddenOnlyChecked() const = 0;
    // The default GUI font in bold, for the scan dialog's heading.
    virtual HFONT BoldFont() const = 0;

    virtual CLeftView* LeftView() = 0;
    virtual CVeyrithView* ListView() = 0;
    virtual CInfoView* InfoView() = 0;
};

// The main frame while it exists, null otherwise.
CFrameServices* GetFrameServices();
void SetFrameServices(CFrameServices* services);
