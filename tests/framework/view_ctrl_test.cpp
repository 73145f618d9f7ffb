// The list-view and tree-view wrappers on real controls: what is inserted
// reads back the same (texts in UTF-16 and read whole, item data, states,
// columns, navigation), and a hit test finds the inserted item.
#include "framework/image_list.h"
#include "framework/list_view_ctrl.h"
#include "framework/tree_view_ctrl.h"

#include <gtest/gtest.h>

namespace {

// A text longer than any first read buffer.
const std::wstring kLongText = std::wstring(1500, L'x') + L"\u00e9nd";

// A shown top-level window holding one control of the class.
class ControlHost {
public:
    ControlHost(const char* className, DWORD style) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        m_parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                                   nullptr, nullptr);
        m_control = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 400, 300, m_parent,
                                    nullptr, nullptr, nullptr);
    }
    ~ControlHost() { DestroyWindow(m_parent); }
    HWND Control() const { return m_control; }

private:
    HWND m_parent = nullptr;
    HWND m_control = nullptr;
};

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// Orders rows by descending item data.
int CALLBACK Descending(LPARAM first, LPARAM second, LPARAM) { return static_cast<int>(second - first); }

TEST(ViewCtrl, ListViewReadsBackWhatItWrote) {
    ControlHost host(WC_LISTVIEWA, LVS_REPORT);
    fw::ListViewCtrl list(host.Control());
    ASSERT_TRUE(list.IsWindow());

    // Columns: one call writes them all, in order.
    ASSERT_TRUE(list.InsertColumns({{L"Name", 120}, {L"P\u00e4th", 80, LVCFMT_RIGHT}}));
    EXPECT_EQ(list.ColumnCount(), 2);
    fw::ListColumn column;
    ASSERT_TRUE(list.GetColumn(1, column));
    EXPECT_EQ(column.heading, L"P\u00e4th");
    EXPECT_EQ(column.width, 80);
    EXPECT_EQ(column.format, LVCFMT_RIGHT);
    EXPECT_FALSE(list.GetColumn(2, column));

    // Rows: texts, cells and item data.
    EXPECT_EQ(list.InsertItem(0, L"first \u0416", I_IMAGENONE, 7), 0);
    EXPECT_EQ(list.InsertItem(1, kLongText, 0, 9), 1);
    EXPECT_TRUE(list.SetItemText(0, 1, L"C:\\\u00fcber"));
    EXPECT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.ItemText(0, 0), L"first \u0416");
    EXPECT_EQ(list.ItemText(0, 1), L"C:\\\u00fcber");
    EXPECT_EQ(list.ItemText(1, 0), kLongText);
    EXPECT_EQ(list.ItemText(5, 0), L"");
    LPARAM data = 0;
    ASSERT_TRUE(list.GetItemData(1, data));
    EXPECT_EQ(data, 9);
    EXPECT_TRUE(list.SetItemData(1, 42));
    ASSERT_TRUE(list.GetItemData(1, data));
    EXPECT_EQ(data, 42);
    EXPECT_FALSE(list.GetItemData(5, data));
    list.SetExtendedStyle(LVS_EX_SUBITEMIMAGES);
    EXPECT_TRUE(list.SetItemImage(0, 1, 3));
    LVITEMW cell = {};
    cell.mask = LVIF_IMAGE;
    cell.iSubItem = 1;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&cell)));
    EXPECT_EQ(cell.iImage, 3);

    // States and the selection.
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    EXPECT_EQ(list.SelectedItem(), -1);
    EXPECT_TRUE(list.SetItemState(1, both, both));
    EXPECT_EQ(list.ItemState(1, both), both);
    EXPECT_EQ(list.SelectedItem(), 1);
    EXPECT_TRUE(list.SetItemState(-1, 0, both));
    EXPECT_EQ(list.SelectedItem(), -1);

    // Hit test and order.
    RECT rect = {};
    ASSERT_TRUE(ListView_GetItemRect(list, 1, &rect, LVIR_LABEL));
    EXPECT_EQ(list.HitTest(Centre(rect)), 1);
    EXPECT_EQ(list.HitTest(POINT{390, 290}), -1);
    EXPECT_TRUE(list.SortItems(&Descending, 0));
    EXPECT_EQ(list.ItemText(0, 0), kLongText);

    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.ItemCount(), 0);
}

TEST(ViewCtrl, TreeViewReadsBackWhatItWroteAndNavigates) {
    ControlHost host(WC_TREEVIEWA, TVS_HASBUTTONS | TVS_HASLINES);
    fw::TreeViewCtrl tree(host.Control());
    ASSERT_TRUE(tree.IsWindow());

    HTREEITEM root = tree.InsertItem(TVI_ROOT, TVI_LAST, L"root", 1, 0, TVIS_BOLD | TVIS_EXPANDED);
    HTREEITEM a = tree.InsertItem(root, TVI_LAST, L"a \u00fc", 0, 64);
    HTREEITEM b = tree.InsertItem(root, TVI_LAST, kLongText, 0, 0);
    HTREEITEM first = tree.InsertItem(root, TVI_FIRST, L"first", 2, 5);
    ASSERT_TRUE(root && a && b && first);
    EXPECT_EQ(tree.Count(), 4u);

    // Navigation: the root, its children in order, their parent.
    EXPECT_EQ(tree.RootItem(), root);
    EXPECT_EQ(tree.FirstChild(root), first);
    EXPECT_EQ(tree.NextSibling(first), a);
    EXPECT_EQ(tree.NextSibling(a), b);
    EXPECT_EQ(tree.NextSibling(b), nullptr);
    EXPECT_EQ(tree.ParentItem(a), root);
    EXPECT_EQ(tree.ParentItem(root), nullptr);

    // Texts, item data, images and state bits.
    EXPECT_EQ(tree.ItemText(a), L"a \u00fc");
    EXPECT_EQ(tree.ItemText(b), kLongText);
    EXPECT_EQ(tree.ItemText(nullptr), L"");
    EXPECT_TRUE(tree.SetItemText(root, L"r\u00e9named"));
    EXPECT_EQ(tree.ItemText(root), L"r\u00e9named");
    LPARAM data = 0;
    ASSERT_TRUE(tree.GetItemData(a, data));
    EXPECT_EQ(data, 64);
    EXPECT_FALSE(tree.GetItemData(nullptr, data));
    EXPECT_EQ(tree.ItemImage(root), 1);
    EXPECT_EQ(tree.ItemImage(nullptr), -1);
    EXPECT_EQ(tree.ItemState(root, TVIS_BOLD), static_cast<UINT>(TVIS_BOLD));
    EXPECT_EQ(tree.ItemState(a, TVIS_BOLD), 0u);

    // Selection and expansion.
    EXPECT_EQ(tree.Selection(), nullptr);
    EXPECT_TRUE(tree.Select(a));
    EXPECT_EQ(tree.Selection(), a);
    EXPECT_EQ(tree.ItemState(a, TVIS_SELECTED), static_cast<UINT>(TVIS_SELECTED));
    EXPECT_TRUE(tree.Expand(root, TVE_COLLAPSE));
    EXPECT_EQ(tree.ItemState(root, TVIS_EXPANDED), 0u);
    EXPECT_TRUE(tree.Expand(root, TVE_EXPAND));
    EXPECT_EQ(tree.ItemState(root, TVIS_EXPANDED), static_cast<UINT>(TVIS_EXPANDED));

    // Hit test.
    RECT rect = {};
    ASSERT_TRUE(TreeView_GetItemRect(tree, a, &rect, TRUE));
    EXPECT_EQ(tree.HitTest(Centre(rect)), a);
    EXPECT_EQ(tree.HitTest(POINT{390, 290}), nullptr);

    EXPECT_TRUE(tree.DeleteAllItems());
    EXPECT_EQ(tree.Count(), 0u);
}

// A list handed on by a move is the new owner's alone: the old one holds
// nothing, and the list lives until its last owner goes.
TEST(ViewCtrl, AnImageListMovesToOneOwner) {
    fw::ImageList first;
    ASSERT_TRUE(first.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4));
    HIMAGELIST list = first.Handle();
    fw::ImageList second(std::move(first));
    EXPECT_EQ(first.Handle(), nullptr);
    first.Destroy();
    EXPECT_EQ(ImageList_AddIcon(list, LoadIconA(nullptr, IDI_APPLICATION)), 0);
    fw::ImageList third;
    third = std::move(second);
    EXPECT_EQ(third.Count(), 1);
    HIMAGELIST released = third.Release();
    EXPECT_EQ(third.Handle(), nullptr);
    EXPECT_EQ(ImageList_Destroy(released), TRUE);
}

TEST(ViewCtrl, AnImageListTakesIconResourcesAtTheSmallSize) {
    // user32 holds the system's warning icon under its standard number.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    fw::ImageList images;
    ASSERT_TRUE(images.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR24 | ILC_MASK,
                              0, 1));
    EXPECT_EQ(images.AddIconResource(user32, 32515), 0);
    EXPECT_EQ(images.AddIconResource(user32, 32515), 1);
    // A number with no icon adds nothing.
    EXPECT_EQ(images.AddIconResource(user32, 54321), -1);
    EXPECT_EQ(images.Count(), 2);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images.Handle(), &width, &height));
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(height, GetSystemMetrics(SM_CYSMICON));
}

}  // namespace
