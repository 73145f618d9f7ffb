// A plain window handle with one-line forwards, and the base of every
// window class of the framework (fw::Window, fw::Dialog, the control
// wrappers). Owns nothing: copying it copies the handle, and destroying it
// leaves the window alone; only a derived class may own its window.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Wnd {
public:
    Wnd(HWND hwnd = nullptr) : m_hwnd(hwnd) {}
    operator HWND() const { return m_hwnd; }
    HWND Handle() const { return m_hwnd; }

    bool IsWindow() const { return m_hwnd && ::IsWindow(m_hwnd); }
    bool IsVisible() const { return ::IsWindowVisible(m_hwnd) != 0; }
    bool Show(int command) const { return ::ShowWindow(m_hwnd, command) != 0; }
    bool Update() const { return ::UpdateWindow(m_hwnd) != 0; }
    bool Destroy() const { return ::DestroyWindow(m_hwnd) != 0; }
    bool Enable(bool enable) const { return ::EnableWindow(m_hwnd, enable) != 0; }
    // The window's text in UTF-16; our windows and dialogs are Unicode
    // windows, so a path or a name arrives unchanged.
    bool SetText(const std::wstring& text) const { return ::SetWindowTextW(m_hwnd, text.c_str()) != 0; }
    std::wstring Text() const;
    bool Move(int x, int y, int width, int height, bool repaint = true) const {
        return ::MoveWindow(m_hwnd, x, y, width, height, repaint) != 0;
    }
    bool SetPos(HWND after, int x, int y, int width, int height, UINT flags) const {
        return ::SetWindowPos(m_hwnd, after, x, y, width, height, flags) != 0;
    }
    RECT WindowRect() const { RECT r = {}; ::GetWindowRect(m_hwnd, &r); return r; }
    RECT ClientRect() const { RECT r = {}; ::GetClientRect(m_hwnd, &r); return r; }
    // The window's outer height, 0 while it is hidden (a bar that takes no
    // room in its frame).
    int Height() const;
    Wnd Parent() const { return ::GetParent(m_hwnd); }
    Wnd Owner() const { return ::GetWindow(m_hwnd, GW_OWNER); }
    Wnd Item(int id) const { return ::GetDlgItem(m_hwnd, id); }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hwnd, msg, w, l); }
    bool Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hwnd, msg, w, l) != 0; }
    UINT_PTR SetTimer(UINT_PTR id, UINT period) const { return ::SetTimer(m_hwnd, id, period, nullptr); }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(m_hwnd, id) != 0; }
    bool Invalidate(bool erase = true) const { return ::InvalidateRect(m_hwnd, nullptr, erase) != 0; }
    bool IsChild(HWND child) const { return ::IsChild(m_hwnd, child) != 0; }

    // Centres the window over another one, or over the desktop's work area
    // when over is null or hidden; the result stays on the screen.
    void CenterOver(HWND over) const;

protected:
    // A control wrapper takes its handle when it creates its control.
    void Attach(HWND hwnd) { m_hwnd = hwnd; }

private:
    HWND m_hwnd;
};

}  // namespace fw
