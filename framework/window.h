// Base of the program's own windows. A derived class names its window class
// and handles messages in OnMessage or in the handlers below; the class is
// registered on the first Create. The object is bound to its window from
// WM_NCCREATE to WM_NCDESTROY through GWLP_USERDATA. A Window is a Wnd: the
// one-line forwards (ClientRect, SetTimer, Item...) act on its own window,
// whose handle is null before Create and after the window is gone.
#pragma once

#include "framework/wnd.h"

namespace fw {

class Window : public Wnd {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the window with this object bound to it; false on failure.
    bool Create(HWND parent, const std::wstring& title, DWORD style, DWORD exStyle,
                int x, int y, int width, int height, HMENU menuOrId = nullptr);

    // The bound object of a window, null for windows of other kinds.
    static Window* FromHandle(HWND hwnd);

protected:
    // The name of the window class; one per derived class.
    virtual const wchar_t* ClassName() const = 0;
    // Lets a derived class set the cursor, icon, brush or style of its class.
    virtual void PrepareClass(WNDCLASSEXW& wc) const;

    // Every message of the bound window arrives here first. The default
    // sends the common ones to the handlers below and the rest to
    // DefaultProc.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Handlers return true when they handled the message.
    virtual bool OnCreate(CREATESTRUCTW&) { return true; }
    virtual void OnDestroy() {}
    virtual bool OnPaint(HDC) { return false; }
    virtual bool OnTimer(UINT_PTR) { return false; }
    virtual bool OnCommand(UINT /*id*/, UINT /*code*/, HWND /*control*/) { return false; }
    virtual bool OnClose() { return false; }
    // Called after the window is gone and the object unbound; a window that
    // owns itself deletes itself here.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool RegisterClassOnce() const;
};

}  // namespace fw
