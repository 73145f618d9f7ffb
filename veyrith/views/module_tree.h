// The module tree: the left pane of the upper half. Before a scan it holds
// the start item; after a scan a bold root item with one child per module
// that performs system-wide monitoring. An item is a module item exactly
// when it has a parent. Item texts are UTF-16: a module item's text is its
// path as recorded.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/control_view.h"
#include "framework/image_list.h"
#include "framework/tree_view_ctrl.h"
#include "scanner/own_modules.h"

class CPaneHost;

class CLeftView : public fw::ControlView {
public:
    // Image indexes of the tree's image list.
    enum { kImageModule = 0, kImageRoot = 1, kImageStart = 2 };

    CLeftView();
    ~CLeftView() override;

    // Creates the pane and its tree control as a child of parent; host
    // hears of selections and scan clicks.
    bool Create(HWND parent, UINT id, CPaneHost* host);
    // Attaches the image list and inserts the start item.
    void OnInitialUpdate();
    // Deletes every item and inserts the start item, as before any scan.
    void ShowStartItem();

    // Rebuilds the tree from the recorded monitoring modules that are still
    // loaded in this process; true when at least one module item was inserted.
    bool FillModuleTree();
    // Rebuilds the tree with these module items.
    bool FillModuleTree(const ModuleTreeItems& items);
    // Tells the host about the selected item: for a module item, its file
    // description goes to the status bar.
    void RefreshSelection();
    // Deletes every item.
    void Clear();

    HWND Tree() const { return Control(); }
    // True when the keyboard focus is in the tree control.
    bool HasFocus() const;
    HTREEITEM GetSelectedItem() const;
    // Null for top-level items.
    HTREEITEM GetParentItem(HTREEITEM item) const;
    std::wstring GetItemText(HTREEITEM item) const;
    // The module path of a module item: its text, without the 64-bit mark.
    std::wstring GetItemModulePath(HTREEITEM item) const;
    // True for the item of a module found in 64-bit processes.
    bool IsItem64Bit(HTREEITEM item) const;
    UINT GetCount() const;
    // The module paths of the module items (the root's children), first
    // child first.
    std::vector<std::wstring> ModuleItemTexts() const;

    // The first top-level item, null when the tree is empty.
    HTREEITEM GetRootItem() const;
    // The image index of an item, -1 when it cannot be read.
    int GetItemImage(HTREEITEM item) const;
    // True when the item is drawn bold.
    bool IsItemBold(HTREEITEM item) const;

protected:
    const wchar_t* ClassName() const override { return L"VeyrithLeftView"; }
    LRESULT OnControlNotify(const NMHDR& header) override;
    bool OnCreate(CREATESTRUCTW& cs) override;

private:
    void OnSelectionChanged(const NMTREEVIEWW& info);
    void OnLeftClick();
    void OnRightClick();
    void OnDoubleClick();
    HTREEITEM HitTestCursor(POINT* screenPoint) const;
    fw::TreeViewCtrl TreeCtrl() const { return fw::TreeViewCtrl(Control()); }

    // The item data of a 64-bit module's item; every other item has 0.
    static constexpr LPARAM kItem64Bit = 64;

    fw::ImageList m_images;
    CPaneHost* m_pHost = nullptr;
};
