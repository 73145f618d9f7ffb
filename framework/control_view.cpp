#include "framework/control_view.h"

namespace fw {

bool ControlView::CreatePane(HWND parent, UINT id) {
    RECT rect = {};
    GetClientRect(parent, &rect);
    return Window::Create(parent, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, rect.right,
                          rect.bottom, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) &&
           m_control;
}

HWND ControlView::CreateControl(const wchar_t* className, DWORD style, DWORD exStyle, UINT controlId,
                                const CREATESTRUCTW& cs) {
    m_control = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, cs.cx,
                                cs.cy, Handle(),
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                                GetModuleHandleW(nullptr), nullptr);
    return m_control;
}

LRESULT ControlView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY: {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        return header.hwndFrom == m_control ? OnControlNotify(header) : 0;
    }
    case WM_SIZE:
        if (m_control) MoveWindow(m_control, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (m_control) SetFocus(m_control);
        return 0;
    case WM_CONTEXTMENU:
        return 0;
    case WM_NCDESTROY:
        m_control = nullptr;
        break;
    }
    return Window::OnMessage(msg, wParam, lParam);
}

}  // namespace fw
