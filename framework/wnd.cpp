#include "framework/wnd.h"

#include <vector>

namespace fw {

std::wstring Wnd::Text() const {
    int length = ::GetWindowTextLengthW(m_hwnd);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(length + 1);
    int got = ::GetWindowTextW(m_hwnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), got > 0 ? got : 0);
}

int Wnd::Height() const {
    if (!IsVisible()) return 0;
    RECT rect = WindowRect();
    return rect.bottom - rect.top;
}

void Wnd::CenterOver(HWND over) const {
    RECT area = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT target = area;
    if (over && ::IsWindowVisible(over) && !::IsIconic(over)) ::GetWindowRect(over, &target);
    RECT self = WindowRect();
    int width = self.right - self.left;
    int height = self.bottom - self.top;
    int x = target.left + (target.right - target.left - width) / 2;
    int y = target.top + (target.bottom - target.top - height) / 2;
    // Keep the window inside the work area where it fits.
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fw
