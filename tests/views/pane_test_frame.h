// A real top-level window that hosts the three panes the way the main frame
// does, and answers what the panes and a scan session ask of the frame. It
// holds the scan's result that the panes show, and records what the panes
// and the session tell it (status texts, scan starts, commands) and, as the
// owner of their context menus, the items of each popup that opens (closing
// it again at once).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "census/scan_result.h"
#include "shell/scan_session.h"
#include "fake_desktop.h"
#include "views/info_view.h"
#include "views/module_tree.h"
#include "views/pane_host.h"
#include "views/scan_indicator_dlg.h"
#include "views/affected_list.h"

struct OpenedMenu {
    std::vector<UINT> ids;  // command ids in order, 0 for separators
    UINT defaultId = static_cast<UINT>(-1);
    bool Has(UINT id) const;
};

class PaneTestFrame : public CPaneHost, public CScanSessionHost {
public:
    PaneTestFrame();
    ~PaneTestFrame() override;

    HWND HostWindow() const override { return m_window; }
    void StartScan() override;
    void SetMessageText(const std::wstring& text) override { m_statusTexts.push_back(text); }
    bool IsHiddenOnlyChecked() const override { return m_hiddenOnly; }
    HFONT BoldFont() const override { return m_boldFont; }
    // As the main frame: the selection decides the list and the module's
    // page, which a census that lands shows again.
    void OnTreeSelection(int module) override;
    void OnCensusLanded() override;

    // As the main frame, for a scan session.
    CDesktop& Desktop() override { return m_desktop; }
    CScanResult& Result() override { return m_result; }
    void ShowStatus(UINT textId) override;
    void ClearResults() override;
    void ShowStartItem() override { m_left.ShowStartItem(); }
    void ShowResult() override;
    void ShowPage(const char* resourceName) override { m_info.ShowPage(resourceName); }

    // The index of the result's module with this path; a module the result
    // does not hold yet is added (32-bit).
    int ModuleOf(const std::wstring& path);

    bool Ready() const { return m_ready; }
    CLeftView& Left() { return m_left; }
    CVeyrithView& List() { return m_list; }
    CInfoView& Info() { return m_info; }

    void SetHiddenOnly(bool checked) { m_hiddenOnly = checked; }
    // Brings the frame forward and synthesises F24, as a real scan start does.
    void ProvokeHooks();

    int scanStarts = 0;
    std::vector<std::wstring> m_statusTexts;
    std::vector<UINT> commands;
    std::vector<OpenedMenu> menus;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    HFONT m_boldFont = nullptr;
    bool m_hiddenOnly = false;
    bool m_ready = false;
    FakeDesktop m_desktop;
    CScanResult m_result;
    CLeftView m_left;
    CVeyrithView m_list;
    CInfoView m_info;
};

// Handles messages until the list's census has landed; false when it has
// not within the time.
bool WaitForCensus(const CVeyrithView& list, DWORD timeoutMs = 30000);
// Shows a module's rows (the module joins the frame's result when it is not
// there yet) and waits for its census.
bool ShowAndWait(PaneTestFrame& frame, const std::string& module);

// Centre of a tree item in screen coordinates.
POINT TreeItemCentre(HWND tree, HTREEITEM item);
// Centre of a list row in screen coordinates.
POINT ListRowCentre(HWND list, int row);

// A real mouse click (button down and up) at a screen point, then the
// resulting messages are handled.
void ClickAt(POINT screen, bool right);

// Sends a control's notification to the pane, as the control itself does,
// after putting the cursor on point (the panes read the cursor position).
LRESULT NotifyPane(HWND pane, HWND control, UINT code, POINT cursor);

// Selects one list row (and nothing else), -1 selects nothing.
void SelectRow(HWND list, int row);
