// A splitter with two sides, one above the other or side by side, and a bar
// between them that the user drags. A side holds one window, which may be
// another splitter (nesting). Either side can be hidden and shown again at
// the size it had. Notifications and commands of the panes go on to the
// splitter's parent, so a frame does not see how deeply a pane is nested.
#pragma once

#include "framework/window.h"

class ST_SplitterWnd : public fw::Window {
public:
    enum { kNoSide = -1 };
    static constexpr int kBarWidth = 4;

    ST_SplitterWnd() = default;

    // vertical: the sides lie next to each other (columns); otherwise one
    // above the other (rows).
    bool Create(HWND parent, UINT id, bool vertical, int level = 0);
    // Creates nested in one of this splitter's sides, with that side's id.
    bool CreateNested(int side, ST_SplitterWnd& nested, bool vertical);

    // The child id of a side's pane: first pane id plus 16 per row, 1 per column.
    UINT SideId(int side) const;
    // Puts a window (a child of this splitter) into a side and lays out.
    void SetPane(int side, HWND pane);
    HWND Pane(int side) const { return m_panes[side & 1]; }

    // The size the first side should have, and the minimum of a side.
    void SetSideInfo(int side, int idealSize, int minimumSize);
    // The side's current size in pixels (0 while hidden).
    int SideSize(int side) const;
    int MinimumSize(int side) const { return m_minimum[side & 1]; }
    int Level() const { return m_nLevel; }
    bool IsVertical() const { return m_bVertical; }
    const char* Name() const { return "SplitterWnd"; }

    // Hides a side: the other side takes the whole area. Showing it again
    // brings it back at the size it had when it was hidden.
    void HideSide(int side);
    void ShowSide();
    int HiddenSide() const { return m_hiddenSide; }
    bool IsSideShown(int side) const { return m_hiddenSide != side; }

    // Where the bar lies, in client coordinates (empty while a side is hidden).
    RECT BarRect() const;
    void Layout();

protected:
    const wchar_t* ClassName() const override { return L"VeyrithSplitterWnd"; }
    void PrepareClass(WNDCLASSEXW& wc) const override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int Extent() const;
    int ClampPosition(int position) const;
    void BeginDrag(POINT point);
    void Drag(POINT point);
    bool SetBarCursor();
    static void FocusInto(HWND pane);

    bool m_bVertical = false;
    int m_nLevel = 0;
    HWND m_panes[2] = {nullptr, nullptr};
    int m_ideal[2] = {100, 100};
    int m_minimum[2] = {10, 10};
    int m_remembered[2] = {100, 100};
    int m_hiddenSide = kNoSide;
    bool m_bDragging = false;
    int m_dragOffset = 0;
};
