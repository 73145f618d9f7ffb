// What the panes and the scan's progress dialog ask of the window that hosts
// them. The main frame implements it and hands it to each pane as the pane is
// created; the panes know nothing else of the frame.
#pragma once

#include <windows.h>

#include <string>

class CPaneHost {
public:
    virtual ~CPaneHost() = default;

    // The host's window: owner of context menus and target of commands.
    virtual HWND HostWindow() const = 0;
    // Brings the host forward, provokes hook loading and arms the scan timer.
    virtual void StartScan() = 0;
    // Text of the status bar's message pane (it may name a file).
    virtual void SetMessageText(const std::wstring& text) = 0;
    // State of the command bar's "show hidden only" check box.
    virtual bool IsHiddenOnlyChecked() const = 0;
    // The default GUI font in bold, for the scan dialog's heading.
    virtual HFONT BoldFont() const = 0;

    // The tree's selection moved to an item: a module item (the index of
    // its module in the scan's result) or another item (-1).
    virtual void OnTreeSelection(int module) = 0;
    // A census of the result's modules has landed in the result (the list
    // has shown its rows): what is shown of a module's hosts may change.
    virtual void OnCensusLanded() {}
};
