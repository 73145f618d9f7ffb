// What the actions on a finding ask of the window that hosts them: the
// selection they act on, the owner of their dialogs, the status bar, and
// the refills after a change. The main frame implements it; the actions
// know nothing else of the frame.
#pragma once

#include <windows.h>

#include <string>

#include "findings/findings.h"

class CActionHost {
public:
    virtual ~CActionHost() = default;

    // Owner of the dialogs, message boxes, Explorer and the clipboard.
    virtual HWND HostWindow() const = 0;
    // The default GUI font in bold, for the dialogs' headings.
    virtual HFONT BoldFont() const = 0;
    // Text of the status bar's message pane.
    virtual void SetMessageText(const std::wstring& text) = 0;

    // Where the keyboard focus is.
    virtual bool ListHasFocus() const = 0;
    virtual bool TreeHasFocus() const = 0;
    // The record of the list's first selected row, whether or not the list
    // has the focus; false when no row is selected.
    virtual bool GetSelectedRecord(CListItemState& record) const = 0;
    // The path of the tree's selected module item; empty when the selected
    // item is none or not a module item.
    virtual std::wstring GetSelectedModulePath() const = 0;
    // The path that Copy path, View the file and Properties act on.
    virtual std::wstring GetSelectionPath() const = 0;
    // True when the selection (the row while the list has the focus, else
    // the module item) belongs to a module found in 64-bit processes: its
    // paths are those of 64-bit programs.
    virtual bool SelectionIs64Bit() const = 0;

    // Rebuilds the module tree from the modules still loaded, with a fresh
    // census of their processes; the list follows the tree's selection.
    virtual void RebuildModuleTree() = 0;
    // Shows the list's rows again and takes a fresh census of the same
    // modules, so autorun entries and processes are read anew.
    virtual void RefreshList() = 0;
};
