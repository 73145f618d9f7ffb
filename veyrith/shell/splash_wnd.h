// The splash window: the product picture shown while the main frame starts.
// At most one exists at a time; it closes itself after a second, or at once
// on a key press or mouse click anywhere in the application (which it takes).
#pragma once

#include "common/owners.h"
#include "framework/window.h"

class CSplashWnd : public fw::Window {
public:
    // Stores the command line's decision (no splash when started by COM).
    static void EnableSplashScreen(bool enable);
    // Shows the splash over parent unless it is disabled or already shown.
    static void ShowSplashScreen(HWND parent);
    // Closes the splash on a key or button press; true when the message was
    // taken and must not be dispatched.
    static bool PreTranslateAppMessage(const MSG& msg);
    // The splash on screen, null when none.
    static CSplashWnd* Current() { return c_pSplashWnd; }

    // Destroys the window (the object deletes itself) and repaints the
    // application's main window.
    void HideSplashScreen();

protected:
    const wchar_t* ClassName() const override { return L"VeyrithSplash"; }
    void PrepareClass(WNDCLASSEXW& wc) const override;
    bool OnCreate(CREATESTRUCTW& cs) override;
    bool OnPaint(HDC dc) override;
    bool OnTimer(UINT_PTR id) override;
    void OnFinalMessage() override { delete this; }

private:
    CSplashWnd() = default;
    ~CSplashWnd() override;
    bool Create(HWND parent);

    CBitmap m_hBitmap;
    int m_nWidth = 0;
    int m_nHeight = 0;

    static bool c_bShowSplashWnd;
    static CSplashWnd* c_pSplashWnd;
};
