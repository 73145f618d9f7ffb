// A tree-view control: items with a text, an image, item data and state
// bits, the navigation between them, the selection. Texts are UTF-16 and go
// through the wide messages, so paths and names arrive unchanged. Holds no
// handle of its own: wrap a control that a pane already has.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>
#include <string>

#include "framework/wnd.h"

namespace fw {

class TreeViewCtrl : public Wnd {
public:
    TreeViewCtrl(HWND tree = nullptr) : Wnd(tree) {}

    // The image list (TVSIL_NORMAL) that items draw from.
    void SetImageList(HIMAGELIST images, int which) const { assert(::IsWindow(Handle())); TreeView_SetImageList(Handle(), images, which); }

    // Inserts an item under parent (TVI_ROOT for a top-level item) after
    // another (TVI_LAST, TVI_FIRST or an item) with its text, its image
    // (also when selected), its item data and its state bits (TVIS_BOLD,
    // TVIS_EXPANDED). Returns the item, null on failure.
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const std::wstring& text, int image,
                         LPARAM data, UINT state = 0) const;
    // An item's text, read whole; empty when it cannot be read.
    std::wstring ItemText(HTREEITEM item) const;
    bool SetItemText(HTREEITEM item, const std::wstring& text) const;
    // An item's item data; false when the item cannot be read.
    bool GetItemData(HTREEITEM item, LPARAM& data) const;
    // An item's image, -1 when the item cannot be read.
    int ItemImage(HTREEITEM item) const;
    // An item's state bits within mask (TVIS_BOLD, TVIS_SELECTED...).
    UINT ItemState(HTREEITEM item, UINT mask) const { assert(::IsWindow(Handle())); return TreeView_GetItemState(Handle(), item, mask); }

    HTREEITEM Selection() const { assert(::IsWindow(Handle())); return TreeView_GetSelection(Handle()); }
    bool Select(HTREEITEM item) const { assert(::IsWindow(Handle())); return TreeView_SelectItem(Handle(), item) != FALSE; }

    // The first top-level item; the first child, the next sibling and the
    // parent of an item; null when there is none.
    HTREEITEM RootItem() const { assert(::IsWindow(Handle())); return TreeView_GetRoot(Handle()); }
    HTREEITEM FirstChild(HTREEITEM item) const { assert(::IsWindow(Handle())); return TreeView_GetChild(Handle(), item); }
    HTREEITEM NextSibling(HTREEITEM item) const { assert(::IsWindow(Handle())); return TreeView_GetNextSibling(Handle(), item); }
    HTREEITEM ParentItem(HTREEITEM item) const { assert(::IsWindow(Handle())); return TreeView_GetParent(Handle(), item); }
    // action: TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE.
    bool Expand(HTREEITEM item, UINT action) const { assert(::IsWindow(Handle())); return TreeView_Expand(Handle(), item, action) != FALSE; }

    // The item at a point of the client area, null when none is there.
    HTREEITEM HitTest(POINT client) const;
    UINT Count() const { assert(::IsWindow(Handle())); return TreeView_GetCount(Handle()); }
    bool DeleteAllItems() const { assert(::IsWindow(Handle())); return TreeView_DeleteAllItems(Handle()) != FALSE; }
};

}  // namespace fw
