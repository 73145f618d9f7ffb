// The program's wrapper for the web browser control of the info pane.
#pragma once

#include <windows.h>

#include <string>

#include "framework/web_browser_host.h"

// The web browser control as the info pane uses it: created in the pane's
// window, moved with it, and told which page to load. When the system has
// no usable browser control every call does nothing and the pane shows its
// own white background.
class CWebBrowser2 {
public:
    // Creates the control in parent at rect; false when there is none.
    bool Create(HWND parent, const RECT& rect) { return m_host.Create(parent, rect); }
    void Destroy() { m_host.Destroy(); }

    // The control's window, or null when no control exists.
    HWND GetSafeHwnd() const { return m_host.Window(); }

    void MoveWindow(const RECT& rect) { m_host.Move(rect); }

    // Loads url (it may name a file by any name); false when there is no
    // control or it refused the address.
    bool Navigate(const wchar_t* url);

    // The address of the page loaded or being loaded, empty without a control.
    std::wstring GetLocationURL() const;

    // For the message loop: lets the control handle keys while it has the
    // focus. False when it did not use the message.
    bool PreTranslateMessage(MSG* msg) { return m_host.TranslateAccelerator(msg); }

private:
    fw::WebBrowserHost m_host;
};
