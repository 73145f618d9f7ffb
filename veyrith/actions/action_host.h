// What the actions on a finding ask of the window that hosts them: the
// desktop their boxes, dialogs, shell opens and restarts go through, the
// owner of their dialogs, the bold font, the status bar, and the refills
// after a change. What they act on comes with each call (action_target.h).
// The main frame implements it; the actions know nothing else of the frame.
#pragma once

#include <windows.h>

#include <string>

#include "framework/desktop.h"

class CActionHost {
public:
    virtual ~CActionHost() = default;

    // Every message box, confirmation dialog, shell open and restart.
    virtual CDesktop& Desktop() = 0;
    // Owner of the dialogs, message boxes, Explorer and the clipboard.
    virtual HWND HostWindow() const = 0;
    // The default GUI font in bold, for the dialogs' headings.
    virtual HFONT BoldFont() const = 0;
    // Text of the status bar's message pane.
    virtual void SetMessageText(const std::wstring& text) = 0;

    // Rebuilds the module tree from the modules still loaded, with a fresh
    // census of their processes; the list follows the tree's selection.
    virtual void RebuildModuleTree() = 0;
    // Shows the list's rows again and takes a fresh census of the same
    // modules, so autorun entries and processes are read anew.
    virtual void RefreshList() = 0;
};
