#include "framework/list_view_ctrl.h"

#include <algorithm>
#include <cassert>

namespace fw {

namespace {

// A column heading is read into this many characters.
constexpr int kHeadingChars = 256;
// A cell's text is read into a buffer that doubles up to this size.
constexpr int kFirstTextChars = 256;
constexpr int kMostTextChars = 32768;

}  // namespace

bool ListViewCtrl::InsertColumns(const std::vector<ListColumn>& columns) const {
    assert(::IsWindow(Handle()));
    bool all = true;
    for (size_t index = 0; index < columns.size(); ++index) {
        const ListColumn& column = columns[index];
        LVCOLUMNW info = {};
        info.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        info.fmt = column.format;
        info.cx = column.width;
        info.pszText = const_cast<wchar_t*>(column.heading.c_str());
        info.iSubItem = static_cast<int>(index);
        if (SendMessageW(Handle(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&info)) < 0) all = false;
    }
    return all;
}

int ListViewCtrl::ColumnCount() const {
    assert(::IsWindow(Handle()));
    HWND header = ListView_GetHeader(Handle());
    return header ? std::max(0, Header_GetItemCount(header)) : 0;
}

bool ListViewCtrl::GetColumn(int index, ListColumn& column) const {
    assert(::IsWindow(Handle()));
    wchar_t heading[kHeadingChars] = {};
    LVCOLUMNW info = {};
    info.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    info.pszText = heading;
    info.cchTextMax = kHeadingChars;
    if (!SendMessageW(Handle(), LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&info))) return false;
    column.heading = heading;
    column.width = info.cx;
    column.format = info.fmt & LVCFMT_JUSTIFYMASK;
    return true;
}

int ListViewCtrl::InsertItem(int index, const std::wstring& text, int image, LPARAM data) const {
    assert(::IsWindow(Handle()));
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

std::wstring ListViewCtrl::ItemText(int item, int subItem) const {
    assert(::IsWindow(Handle()));
    // The control answers how much it copied: a full buffer may have cut
    // the text, so it is read again into a larger one.
    for (int size = kFirstTextChars;; size *= 2) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW info = {};
        info.iSubItem = subItem;
        info.pszText = buffer.data();
        info.cchTextMax = size;
        LRESULT copied = SendMessageW(Handle(), LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&info));
        if (copied < size - 1 || size >= kMostTextChars) return std::wstring(buffer.data());
    }
}

bool ListViewCtrl::SetItemText(int item, int subItem, const std::wstring& text) const {
    assert(::IsWindow(Handle()));
    LVITEMW info = {};
    info.iSubItem = subItem;
    info.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessageW(Handle(), LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

bool ListViewCtrl::SetItemImage(int item, int subItem, int image) const {
    assert(::IsWindow(Handle()));
    LVITEMW info = {};
    info.mask = LVIF_IMAGE;
    info.iItem = item;
    info.iSubItem = subItem;
    info.iImage = image;
    return SendMessageW(Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

bool ListViewCtrl::GetItemData(int item, LPARAM& data) const {
    assert(::IsWindow(Handle()));
    LVITEMW info = {};
    info.mask = LVIF_PARAM;
    info.iItem = item;
    if (!SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info))) return false;
    data = info.lParam;
    return true;
}

bool ListViewCtrl::SetItemData(int item, LPARAM data) const {
    assert(::IsWindow(Handle()));
    LVITEMW info = {};
    info.mask = LVIF_PARAM;
    info.iItem = item;
    info.lParam = data;
    return SendMessageW(Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

bool ListViewCtrl::SetItemState(int item, UINT state, UINT mask) const {
    assert(::IsWindow(Handle()));
    LVITEMW info = {};
    info.state = state;
    info.stateMask = mask;
    return SendMessageW(Handle(), LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

int ListViewCtrl::HitTest(POINT client) const {
    assert(::IsWindow(Handle()));
    LVHITTESTINFO hit = {};
    hit.pt = client;
    return static_cast<int>(SendMessageW(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

}  // namespace fw
