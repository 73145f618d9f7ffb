// A pane whose only child is one common control filling it: the tree view,
// the list view. The control's notifications arrive in OnControlNotify and
// the focus given to the pane goes on to the control. A pane's context menu
// comes from its control's right-click notification, so WM_CONTEXTMENU
// stops here instead of travelling on to the frame.
#pragma once

#include "framework/window.h"

#include <commctrl.h>

namespace fw {

class ControlView : public Window {
public:
    HWND Control() const { return m_control; }
    // True when the keyboard focus is in the control.
    bool ControlHasFocus() const { return m_control && GetFocus() == m_control; }

protected:
    // Creates the pane as a child of parent, filling its client area, with
    // the control inside it (created from OnCreate).
    bool CreatePane(HWND parent, UINT id);
    // Creates the control over the whole pane; called from OnCreate.
    HWND CreateControl(const wchar_t* className, DWORD style, DWORD exStyle, UINT controlId,
                       const CREATESTRUCTW& cs);
    // A notification of the control; the result goes back to it.
    virtual LRESULT OnControlNotify(const NMHDR& header) = 0;

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HWND m_control = nullptr;
};

}  // namespace fw
