#include "installer_shared/progress_window.h"

#include "common/system_library.h"
#include "installer_shared/texts.h"

namespace installer {

void ShowProgressText(HWND dialog, int itemId, UINT textId) {
    SetDlgItemTextW(dialog, itemId, LoadText(textId).c_str());
    UpdateWindow(GetDlgItem(dialog, itemId));
}

void FadeOut(HWND window) {
    using AnimateWindowFn = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    auto animate = FunctionOf<AnimateWindowFn>(GetModuleHandleW(L"user32.dll"), "AnimateWindow");
    if (animate) animate(window, kAnimationMs, AW_HIDE | AW_BLEND);
}

}  // namespace installer
