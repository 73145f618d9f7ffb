// The module tree: the left pane of the upper half. Before a scan it holds
// the start item; after a scan a bold root item with one child per module
// of the scan's result. An item is a module item exactly when it has a
// parent; its item data is the index of its module in the result. Item
// texts are UTF-16: a module item's text is its path as recorded, marked
// when the module is 64-bit, followed by what the module watches. The
// modules that read keystrokes come first, the others keep the result's
// order.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/control_view.h"
#include "framework/image_list.h"
#include "framework/tree_view_ctrl.h"
#include "census/scan_result.h"

class CPaneHost;

class CLeftView : public fw::ControlView {
public:
    // Image indexes of the tree's image list.
    enum { kImageModule = 0, kImageRoot = 1, kImageStart = 2 };

    CLeftView();
    ~CLeftView() override;

    // Creates the pane and its tree control as a child of parent; host
    // hears of selections and scan clicks; the tree shows result, which
    // outlives the pane.
    bool Create(HWND parent, UINT id, CPaneHost* host, const CScanResult& result);
    // Attaches the image list and inserts the start item.
    void OnInitialUpdate();
    // Deletes every item and inserts the start item, as before any scan.
    void ShowStartItem();

    // Rebuilds the tree with one item per module of the result, those that
    // read keystrokes first, and selects the result's first module when the
    // result says so; true when at least one module item was inserted.
    bool ShowModules();
    // The text of a module's item: the 64-bit mark, the path, what it
    // watches.
    std::wstring ModuleItemText(int module) const;
    // Tells the host about the selected item: for a module item, its file
    // description and what it watches go to the status bar.
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
    // The index in the result of a module item's module; -1 for any other
    // item.
    int GetItemModule(HTREEITEM item) const;
    // The module of the selected item; -1 when no module item is selected.
    int SelectedModule() const;
    UINT GetCount() const;

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

    // The item data of the items that stand for no module.
    static constexpr LPARAM kNoModule = -1;

    fw::ImageList m_images;
    CPaneHost* m_pHost = nullptr;
    const CScanResult* m_pResult = nullptr;
};
