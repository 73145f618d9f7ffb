#include "fade.h"

void FadeOut(HWND window) {
    typedef BOOL(WINAPI * AnimateWindowFn)(HWND, DWORD, DWORD);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32) return;
    auto animate = reinterpret_cast<AnimateWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "AnimateWindow")));
    if (animate) animate(window, 300, AW_HIDE | AW_BLEND);
}
