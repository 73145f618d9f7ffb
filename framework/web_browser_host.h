// A minimal in-place OLE container for the system's web browser control on a
// plain parent window.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include "common/owners.h"

namespace fw {

class BrowserSiteObject;

// Creates the web browser control in a parent window, sizes it, navigates it,
// and lets the message loop hand it keys. When the control cannot be created
// (no browser engine, no COM), every call is a harmless no-op and the parent
// shows through, so the caller simply paints its own background.
//
// The host watches its parent: when the parent is destroyed, the control is
// closed and released before its window goes away. The calling thread must
// be a single-threaded apartment; Create initialises OLE itself when needed.
class WebBrowserHost {
public:
    // Defined where the site object is complete, since the host owns one.
    WebBrowserHost();
    ~WebBrowserHost();
    WebBrowserHost(const WebBrowserHost&) = delete;
    WebBrowserHost& operator=(const WebBrowserHost&) = delete;

    // Creates the control in parent at rect (parent's client coordinates)
    // and activates it in place. False when no control could be created;
    // a second call while a control exists returns true and does nothing.
    bool Create(HWND parent, const RECT& rect);

    // Closes and releases the control. Safe to call at any time.
    void Destroy();

    bool HasControl() const { return static_cast<bool>(m_browser); }

    // The control's own window, or null.
    HWND Window() const;

    // Moves the control to rect (parent's client coordinates) and repaints it.
    void Move(const RECT& rect);

    // Starts loading url. False when there is no control or the control
    // refused the request; what happens during loading is the control's.
    bool Navigate(const wchar_t* url);

    // The URL of the loaded or loading page, empty without a control. The
    // caller frees the string with SysFreeString.
    BSTR LocationUrl() const;

    // True when the keyboard focus is inside the control's window.
    bool ContainsFocus() const;

    // Gives a keyboard message to the control's accelerator handling (tab
    // order inside the page, browser keys). True when the control used it;
    // false without a control, for other messages, or when the focus is
    // elsewhere.
    bool TranslateAccelerator(MSG* msg);

    // Used by the site objects: the parent and the control's current rect.
    HWND Parent() const { return m_parent; }
    const RECT& Rect() const { return m_rect; }

private:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR refData);
    bool Embed();
    void ReleaseInterfaces();

    HWND m_parent = nullptr;
    RECT m_rect = {};
    bool m_oleInitialized = false;
    bool m_subclassed = false;
    // The host's own reference to its site; the control may hold others.
    CComPtr<BrowserSiteObject> m_site;
    CComPtr<IOleObject> m_object;
    CComPtr<IOleInPlaceObject> m_inPlace;
    CComPtr<IOleInPlaceActiveObject> m_active;
    CComPtr<IWebBrowser2> m_browser;
};

}  // namespace fw
