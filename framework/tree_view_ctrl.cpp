#include "framework/tree_view_ctrl.h"

#include <cassert>
#include <vector>

namespace fw {

namespace {

// An item's text may be a path of any length: it is read into this many
// characters.
constexpr int kItemTextChars = 32768;

}  // namespace

HTREEITEM TreeViewCtrl::InsertItem(HTREEITEM parent, HTREEITEM after, const std::wstring& text, int image,
                                   LPARAM data, UINT state) const {
    assert(::IsWindow(Handle()));
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = data;
    insert.item.state = state;
    insert.item.stateMask = state;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::wstring TreeViewCtrl::ItemText(HTREEITEM item) const {
    assert(::IsWindow(Handle()));
    if (!item) return std::wstring();
    std::vector<wchar_t> buffer(kItemTextChars, L'\0');
    TVITEMW info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = buffer.data();
    info.cchTextMax = kItemTextChars;
    if (!SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info))) return std::wstring();
    return std::wstring(info.pszText);
}

bool TreeViewCtrl::SetItemText(HTREEITEM item, const std::wstring& text) const {
    assert(::IsWindow(Handle()));
    TVITEMW info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

bool TreeViewCtrl::GetItemData(HTREEITEM item, LPARAM& data) const {
    assert(::IsWindow(Handle()));
    TVITEMW info = {};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    if (!item || !SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info))) return false;
    data = info.lParam;
    return true;
}

int TreeViewCtrl::ItemImage(HTREEITEM item) const {
    assert(::IsWindow(Handle()));
    TVITEMW info = {};
    info.mask = TVIF_IMAGE;
    info.hItem = item;
    if (!item || !SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info))) return -1;
    return info.iImage;
}

HTREEITEM TreeViewCtrl::HitTest(POINT client) const {
    assert(::IsWindow(Handle()));
    TVHITTESTINFO hit = {};
    hit.pt = client;
    return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

}  // namespace fw
