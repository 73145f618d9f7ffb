#include "rebar.h"

namespace fw {

bool ReBar::Create(HWND parent, UINT id, DWORD style) {
    m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "", style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr),
                             nullptr);
    if (!m_hwnd) return false;
    REBARINFO info = {};
    info.cbSize = sizeof(info);
    return SendMessageA(m_hwnd, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

bool ReBar::AddBand(HWND child, UINT bandStyle, SIZE childSize) {
    assert(IsWindow(m_hwnd));
    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID;
    band.fStyle = bandStyle;
    band.hwndChild = child;
    band.wID = static_cast<UINT>(GetDlgCtrlID(child));
    band.cxMinChild = static_cast<UINT>(childSize.cx);
    band.cyMinChild = static_cast<UINT>(childSize.cy);
    band.cx = static_cast<UINT>(childSize.cx);
    return SendMessageA(m_hwnd, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

int ReBar::Height() const {
    assert(IsWindow(m_hwnd));
    if (!IsWindowVisible(m_hwnd)) return 0;
    RECT rect = {};
    GetWindowRect(m_hwnd, &rect);
    return rect.bottom - rect.top;
}

}  // namespace fw
