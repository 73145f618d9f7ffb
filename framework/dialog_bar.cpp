#include "framework/dialog_bar.h"

namespace fw {

bool DialogBar::Create(HWND parent, UINT id, HWND commandTarget) {
    m_commandTarget = commandTarget;
    if (!CreateModeless(parent)) return false;
    SetWindowLongPtrW(Handle(), GWLP_ID, static_cast<LONG_PTR>(id));
    return true;
}

SIZE DialogBar::Size() const {
    RECT rect = WindowRect();
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool DialogBar::OnCommand(UINT id, UINT code, HWND control) {
    // Enter and Escape in the bar mean nothing; everything else is the
    // frame's business.
    if (id == IDOK || id == IDCANCEL) return true;
    if (m_commandTarget)
        SendMessageW(m_commandTarget, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    return true;
}

}  // namespace fw
