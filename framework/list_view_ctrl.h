// A list-view control: rows with an image and item data, cells of the
// report view, the columns, the row states. Texts are UTF-16 and go through
// the wide messages, so paths and names arrive unchanged. Holds no handle
// of its own: wrap a control that a pane or a dialog already has.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>
#include <string>
#include <vector>

#include "framework/wnd.h"

namespace fw {

// A column of the report view.
struct ListColumn {
    std::wstring heading;
    int width = 0;
    int format = LVCFMT_LEFT;
};

class ListViewCtrl : public Wnd {
public:
    ListViewCtrl(HWND list = nullptr) : Wnd(list) {}

    // Writes the columns in order, the first as column 0; false when one
    // could not be inserted.
    bool InsertColumns(const std::vector<ListColumn>& columns) const;
    int ColumnCount() const;
    // Reads a column back; false when there is no such column.
    bool GetColumn(int index, ListColumn& column) const;

    void SetExtendedStyle(DWORD styles) const { assert(::IsWindow(Handle())); ListView_SetExtendedListViewStyle(Handle(), styles); }
    // The image list (LVSIL_SMALL, LVSIL_NORMAL...) that rows draw from.
    void SetImageList(HIMAGELIST images, int which) const { assert(::IsWindow(Handle())); ListView_SetImageList(Handle(), images, which); }

    // Inserts a row at index with its first cell's text, its image (an index
    // of the image list, or I_IMAGENONE) and its item data. Returns the
    // row's index, -1 on failure.
    int InsertItem(int index, const std::wstring& text, int image, LPARAM data) const;
    // The text of a cell (subItem 0 is the row's first cell), read whole;
    // empty when there is no such cell.
    std::wstring ItemText(int item, int subItem) const;
    bool SetItemText(int item, int subItem, const std::wstring& text) const;
    // The image of a cell (sub-item images need LVS_EX_SUBITEMIMAGES).
    bool SetItemImage(int item, int subItem, int image) const;
    // The item data of a row; false when the row cannot be read.
    bool GetItemData(int item, LPARAM& data) const;
    bool SetItemData(int item, LPARAM data) const;
    // A row's state bits (LVIS_SELECTED, LVIS_FOCUSED) within mask.
    UINT ItemState(int item, UINT mask) const { assert(::IsWindow(Handle())); return ListView_GetItemState(Handle(), item, mask); }
    // Sets the bits of mask to those of state; item -1 sets them on every row.
    bool SetItemState(int item, UINT state, UINT mask) const;
    // The first selected row, -1 when none is.
    int SelectedItem() const { assert(::IsWindow(Handle())); return ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); }
    // The row at a point of the client area, -1 when none is there.
    int HitTest(POINT client) const;
    int ItemCount() const { assert(::IsWindow(Handle())); return ListView_GetItemCount(Handle()); }
    bool DeleteAllItems() const { assert(::IsWindow(Handle())); return ListView_DeleteAllItems(Handle()) != FALSE; }
    // Orders the rows; compare gets two rows' item data and the value given.
    bool SortItems(PFNLVCOMPARE compare, LPARAM value) const {
        assert(::IsWindow(Handle()));
        return ListView_SortItems(Handle(), compare, value) != FALSE;
    }
};

}  // namespace fw
