#include "framework/splitter_wnd.h"

#include <windowsx.h>

#include <algorithm>

namespace {
// The id of the first pane of a frame; a splitter's sides count from it.
constexpr UINT kFirstPaneId = 0xE900;
}  // namespace

bool ST_SplitterWnd::Create(HWND parent, UINT id, bool vertical, int level) {
    m_bVertical = vertical;
    m_nLevel = level;
    return fw::Window::Create(parent, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

bool ST_SplitterWnd::CreateNested(int side, ST_SplitterWnd& nested, bool vertical) {
    if (!nested.Create(Handle(), SideId(side), vertical, m_nLevel + 1)) return false;
    SetPane(side, nested.Handle());
    return true;
}

UINT ST_SplitterWnd::SideId(int side) const {
    return kFirstPaneId + static_cast<UINT>(m_bVertical ? side : side * 16);
}

void ST_SplitterWnd::PrepareClass(WNDCLASSEXW& wc) const {
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    wc.hCursor = nullptr;
}

void ST_SplitterWnd::SetPane(int side, HWND pane) {
    m_panes[side & 1] = pane;
    if (m_hiddenSide == (side & 1)) ShowWindow(pane, SW_HIDE);
    Layout();
}

void ST_SplitterWnd::SetSideInfo(int side, int idealSize, int minimumSize) {
    m_ideal[side & 1] = std::max(0, idealSize);
    m_minimum[side & 1] = std::max(0, minimumSize);
    Layout();
}

int ST_SplitterWnd::Extent() const {
    RECT client = ClientRect();
    return m_bVertical ? client.right - client.left : client.bottom - client.top;
}

int ST_SplitterWnd::ClampPosition(int position) const {
    int room = std::max(0, Extent() - kBarWidth);
    return std::min(std::max(position, 0), room);
}

int ST_SplitterWnd::SideSize(int side) const {
    side &= 1;
    if (m_hiddenSide == side) return 0;
    if (m_hiddenSide != kNoSide) return Extent();
    int first = ClampPosition(m_ideal[0]);
    return side == 0 ? first : std::max(0, Extent() - kBarWidth - first);
}

RECT ST_SplitterWnd::BarRect() const {
    RECT bar = ClientRect();
    if (m_hiddenSide != kNoSide) return RECT{0, 0, 0, 0};
    int position = ClampPosition(m_ideal[0]);
    if (m_bVertical) {
        bar.left = position;
        bar.right = position + kBarWidth;
    } else {
        bar.top = position;
        bar.bottom = position + kBarWidth;
    }
    return bar;
}

void ST_SplitterWnd::Layout() {
    if (!Handle()) return;
    RECT client = ClientRect();
    int width = client.right, height = client.bottom;
    if (m_hiddenSide != kNoSide) {
        HWND shown = m_panes[1 - m_hiddenSide];
        if (shown) MoveWindow(shown, 0, 0, width, height, TRUE);
        return;
    }
    int first = SideSize(0), second = SideSize(1);
    if (m_bVertical) {
        if (m_panes[0]) MoveWindow(m_panes[0], 0, 0, first, height, TRUE);
        if (m_panes[1]) MoveWindow(m_panes[1], first + kBarWidth, 0, second, height, TRUE);
    } else {
        if (m_panes[0]) MoveWindow(m_panes[0], 0, 0, width, first, TRUE);
        if (m_panes[1]) MoveWindow(m_panes[1], 0, first + kBarWidth, width, second, TRUE);
    }
    RECT bar = BarRect();
    InvalidateRect(Handle(), &bar, TRUE);
}

void ST_SplitterWnd::FocusInto(HWND pane) {
    // A pane window holds its control (or a nested splitter) as first child.
    HWND target = pane;
    while (HWND child = GetWindow(target, GW_CHILD)) {
        if (!IsWindowVisible(child)) break;
        target = child;
    }
    SetFocus(target);
}

void ST_SplitterWnd::HideSide(int side) {
    side &= 1;
    if (m_hiddenSide == side || !m_panes[side]) return;
    // Only one side is ever hidden: bring the other back first.
    ShowSide();
    m_remembered[0] = SideSize(0);
    m_remembered[1] = SideSize(1);
    HWND focus = GetFocus();
    bool focusInside = focus && (focus == m_panes[side] || ::IsChild(m_panes[side], focus));
    if (focusInside && m_panes[1 - side]) FocusInto(m_panes[1 - side]);
    ShowWindow(m_panes[side], SW_HIDE);
    m_hiddenSide = side;
    Layout();
}

void ST_SplitterWnd::ShowSide() {
    if (m_hiddenSide == kNoSide) return;
    int side = m_hiddenSide;
    m_hiddenSide = kNoSide;
    // The side that comes back gets its former size; the other one the rest.
    m_ideal[0] = side == 0 ? m_remembered[0] : Extent() - kBarWidth - m_remembered[1];
    m_ideal[0] = std::max(0, m_ideal[0]);
    if (m_panes[side]) ShowWindow(m_panes[side], SW_SHOW);
    Layout();
}

void ST_SplitterWnd::BeginDrag(POINT point) {
    RECT bar = BarRect();
    if (!PtInRect(&bar, point)) return;
    m_bDragging = true;
    m_dragOffset = (m_bVertical ? point.x : point.y) - ClampPosition(m_ideal[0]);
    SetCapture(Handle());
}

void ST_SplitterWnd::Drag(POINT point) {
    int position = (m_bVertical ? point.x : point.y) - m_dragOffset;
    // Keep both minimum sizes when they fit; the window edges always.
    int highest = Extent() - kBarWidth - m_minimum[1];
    if (m_minimum[0] <= highest) position = std::min(std::max(position, m_minimum[0]), highest);
    m_ideal[0] = ClampPosition(position);
    Layout();
    Update();
}

bool ST_SplitterWnd::SetBarCursor() {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(Handle(), &point);
    RECT bar = BarRect();
    if (!m_bDragging && !PtInRect(&bar, point)) return false;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(m_bVertical ? IDC_SIZEWE : IDC_SIZENS)));
    return true;
}

LRESULT ST_SplitterWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        // A minimised frame keeps its layout for when it comes back.
        if (wParam != SIZE_MINIMIZED) Layout();
        return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
        return SendMessageW(Parent(), msg, wParam, lParam);
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == Handle() && SetBarCursor()) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        BeginDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        if (m_bDragging) Drag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        if (m_bDragging) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        m_bDragging = false;
        return 0;
    }
    return fw::Window::OnMessage(msg, wParam, lParam);
}
