// The context menu that the module tree and the list share (menu resource
// 134): its first popup, with View the file as the default item.
#pragma once

#include <windows.h>

#include "common/owners.h"

class CPaneContextMenu {
public:
    // Loads the menu; withEndProcess false removes End process (the tree's
    // items are files, not processes).
    explicit CPaneContextMenu(bool withEndProcess);
    CPaneContextMenu(const CPaneContextMenu&) = delete;
    CPaneContextMenu& operator=(const CPaneContextMenu&) = delete;

    // The popup, null when the resource could not be loaded.
    HMENU Popup() const { return m_popup; }

    // Shows the popup at a screen point, tracking the right mouse button.
    // The chosen command goes to owner as WM_COMMAND, so it passes the
    // owner's command routing and enable rules.
    void Track(HWND owner, POINT screen) const;

private:
    CMenu m_menu;
    HMENU m_popup = nullptr;
};
