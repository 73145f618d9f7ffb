// The one top-level window of veyrith: the rebar with the toolbar and the
// command bar, the panes in two splitters (module tree | affected
// applications over the info pane), the status bar, the menu bar, and the
// command table that every menu, toolbar, accelerator and context-menu
// command passes through. A scan is a CScanSession that the frame owns and
// routes to; the actions get the target that the focus rule gives. What it
// shows goes through the desktop it is made with; the tool client and the
// quarantine store it makes from the tool's folder serve the actions and the
// quarantine dialog. Its
// caption is exactly the application title, which is how the uninstaller
// finds a running copy.
#pragma once

#include <memory>
#include <string>

#include "actions/action_host.h"
#include "actions/action_target.h"
#include "actions/actions.h"
#include "common/owners.h"
#include "common/product.h"
#include "framework/desktop.h"
#include "framework/command_table.h"
#include "framework/dialog_bar.h"
#include "framework/rebar.h"
#include "shell/html_help.h"
#include "shell/scan_session.h"
#include "shell/veyrith_doc.h"
#include "framework/splitter_wnd.h"
#include "framework/status_bar.h"
#include "framework/tool_bar.h"
#include "views/info_view.h"
#include "views/module_tree.h"
#include "views/pane_host.h"
#include "views/affected_list.h"
#include "framework/window.h"
#include "quarantine/quarantine_store.h"
#include "tool/tool_client.h"

// The parts of the frame, for the tests that look at them.
struct FrameParts {
    CLeftView& leftView;
    CVeyrithView& listView;
    CInfoView& infoView;
    ST_SplitterWnd* outerSplitter;
    ST_SplitterWnd* innerSplitter;
    const fw::ToolBar& toolBar;
    const fw::ReBar& reBar;
    const fw::DialogBar& commandBar;
    fw::StatusBar& statusBar;
    CHtmlHelp& htmlHelp;
    const fw::CommandTable& commands;
};

// The one focus rule: the actions act on the list's selected row while the
// list has the focus, on the module of the tree's selected module item while
// the tree has it, and on nothing otherwise; the result tells the modules'
// paths and widths.
CActionTarget FocusedActionTarget(const CScanResult& result, const CLeftView& tree, const CVeyrithView& list);

class CMainFrame : public fw::Window, public CPaneHost, public CActionHost, public CScanSessionHost {
public:
    static constexpr int kTreeWidth = 250;
    // The frame cannot be made smaller than this.
    static constexpr int kMinTrackWidth = 300;
    static constexpr int kMinTrackHeight = 300;

    // toolFolder: where veyrith_configure.exe and its quarantine live (the
    // program folder).
    CMainFrame(CDesktop& desktop, const std::wstring& toolFolder);
    ~CMainFrame() override;

    // Creates the frame for the document at the system's default size,
    // centred on the desktop, hidden until the application shows it; false
    // without a document, or when a pane, a bar or the toolbar resource
    // cannot be created. The views show the document's scan result.
    bool Create(CVeyrithDoc* pDocument);
    CVeyrithDoc* GetActiveDocument() const { return m_pDocument; }

    // What the panes, the actions and the scan ask of the frame.
    HWND HostWindow() const override { return Handle(); }
    CDesktop& Desktop() override { return m_desktop; }
    void StartScan() override;
    void SetMessageText(const std::wstring& text) override;
    bool IsHiddenOnlyChecked() const override;
    HFONT BoldFont() const override { return m_hBoldFont.Get(); }
    // The tree's selection decides what the list shows, and a module item's
    // selection the info pane's page of that module.
    void OnTreeSelection(int module) override;
    // The page of the selected module is shown again with its new hosts.
    void OnCensusLanded() override;

    // What the actions ask of the frame (CActionHost). The tree rebuilt as
    // at the end of a scan, without the scan's status text and page.
    void RebuildModuleTree() override { m_session.RebuildModuleTree(); }
    void RefreshList() override { m_wndListView.Refresh(); }

    // The ways in for tests: the scan and the frame's parts.
    CScanSession& Session() { return m_session; }
    FrameParts Parts();

protected:
    const wchar_t* ClassName() const override { return kMainWindowClass; }
    void PrepareClass(WNDCLASSEXW& wc) const override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(CREATESTRUCTW& cs) override;
    void OnDestroy() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnClose() override;

private:
    // What a scan asks of the frame (CScanSessionHost).
    CScanResult& Result() override { return m_pDocument->ScanResult(); }
    void ShowStatus(UINT textId) override;
    void ClearResults() override;
    void ShowStartItem() override { m_wndLeftView.ShowStartItem(); }
    void ShowResult() override;
    void ShowPage(const char* resourceName) override { m_wndInfoView.ShowPage(resourceName); }

    bool CreateClient();
    bool CreateBars();
    bool CreateBands();
    void BuildCommandTable();
    void BuildViewCommands();
    void BuildActionCommands();
    void BuildHelpCommands();
    void RecalcLayout();
    void OnIdle();
    LRESULT OnNotify(NMHDR& header);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    void OnCloseRequest();
    // Closes the window once the tool's change in flight is done (looked at
    // every kCloseAfterChangeMs).
    void CloseAfterChange();
    static constexpr UINT_PTR kCloseAfterChangeTimerId = 41;
    static constexpr UINT kCloseAfterChangeMs = 200;
    bool FilterMessage(MSG& msg);

    // What the actions act on now (FocusedActionTarget).
    CActionTarget ActionTarget() const {
        return FocusedActionTarget(m_pDocument->ScanResult(), m_wndLeftView, m_wndListView);
    }
    bool IsBandShown(UINT childId) const;
    void ToggleBand(UINT childId);
    void ToggleStatusBar();
    void ToggleInfoBar();
    void CyclePane(bool forward);
    void OnHelpContents();
    void OnAbout();
    void OnQuarantinedFiles();

    CDesktop& m_desktop;
    CVeyrithDoc* m_pDocument = nullptr;
    std::unique_ptr<ST_SplitterWnd> m_pOuterSplitter;
    std::unique_ptr<ST_SplitterWnd> m_pInnerSplitter;
    CLeftView m_wndLeftView;
    CVeyrithView m_wndListView;
    CInfoView m_wndInfoView;
    CScanSession m_session{*this, *this};
    std::wstring m_strProgramFolder;
    CToolClient m_tool;
    CQuarantineStore m_quarantine;
    CFont m_hBoldFont;
    fw::ToolBar m_wndToolBar;
    fw::ReBar m_wndReBar;
    fw::DialogBar m_wndCommandBar;
    fw::StatusBar m_wndStatusBar;
    fw::CommandTable m_commands;
    CHtmlHelp m_htmlHelp;
    CActions m_actions{*this, m_tool, m_quarantine};
    int m_nIdleHandlerId = 0;
    HWND m_hwndLastFocus = nullptr;
    // The tooltip text must outlive the notification that asks for it.
    std::wstring m_strTooltip;
};
