// The one top-level window of veyrith: the rebar with the toolbar and the
// command bar, the panes in two splitters (module tree | affected
// applications over the info pane), the status bar, the menu bar, and the
// command table that every menu, toolbar, accelerator and context-menu
// command passes through. Its caption is exactly the application title,
// which is how the uninstaller finds a running copy.
#pragma once

#include <memory>
#include <string>

#include "actions/action_host.h"
#include "common/product.h"
#include "actions/actions.h"
#include "framework/command_table.h"
#include "framework/dialog_bar.h"
#include "framework/rebar.h"
#include "shell/html_help.h"
#include "framework/splitter_wnd.h"
#include "framework/status_bar.h"
#include "framework/tool_bar.h"
#include "views/info_view.h"
#include "views/left_view.h"
#include "views/pane_host.h"
#include "views/scan_indicator_dlg.h"
#include "views/veyrith_view.h"
#include "framework/window.h"
#include "scanner/scan_checks.h"

class CVeyrithDoc;

class CMainFrame : public fw::Window, public CPaneHost, public CActionHost {
public:
    static constexpr UINT_PTR kScanTimerId = 1;
    static constexpr UINT kScanDelayMs = 300;
    // Looks, while the walk runs, for the self-test's hooks to be in place,
    // then provokes the keyboard hooks once more.
    static constexpr UINT_PTR kSelfTestTimerId = 2;
    static constexpr UINT kSelfTestPollMs = 100;
    // The 64-bit companion has answered (or failed).
    static constexpr UINT kProbeDoneMessage = WM_APP + 0x52;
    // The synthetic key that makes the window manager load keyboard hooks.
    static constexpr BYTE kProvokeKey = 0x87;
    static constexpr int kTreeWidth = 250;
    // The frame cannot be made smaller than this.
    static constexpr int kMinTrackWidth = 300;
    static constexpr int kMinTrackHeight = 300;

    CMainFrame();
    ~CMainFrame() override;

    // Creates the frame for the document at the system's default size,
    // centred on the desktop, hidden until the application shows it; false
    // when a pane, a bar or the toolbar resource cannot be created.
    bool Create(CVeyrithDoc* pDocument);
    CVeyrithDoc* GetActiveDocument() const { return m_pDocument; }

    // What the panes and the actions ask of the frame.
    HWND HostWindow() const override { return Handle(); }
    void StartScan() override;
    void SetMessageText(const std::string& text);
    void SetMessageText(const std::wstring& text) override;
    bool IsHiddenOnlyChecked() const override;
    HFONT BoldFont() const override { return m_hBoldFont; }
    // The tree's selection decides what the list shows.
    void OnTreeSelection(const std::wstring& text, bool isModule) override;
    // The end of a scan: the tree is rebuilt, the census of its modules
    // starts, and the result page is shown.
    void OnScanWalkEnded() override;

    // What the actions ask of the frame (CActionHost).
    bool ListHasFocus() const override;
    bool TreeHasFocus() const override;
    bool GetSelectedRecord(CListItemState& record) const override;
    std::wstring GetSelectedModulePath() const override;
    // The tree rebuilt as at the end of a scan, without the scan's status
    // text and page.
    void RebuildModuleTree() override;
    void RefreshList() override { m_wndListView.Refresh(); }

    CLeftView* LeftView() { return &m_wndLeftView; }
    CVeyrithView* ListView() { return &m_wndListView; }
    CInfoView* InfoView() { return &m_wndInfoView; }

    const fw::CommandTable& Commands() const { return m_commands; }
    // Gives a command of the table its action; the enable rules stay.
    bool WireCommand(UINT id, fw::CommandTable::Handler handler) { return m_commands.SetHandler(id, std::move(handler)); }
    // A scan runs from its dialog's start until the 64-bit companion (where
    // there is one) has answered.
    bool IsScanning() const { return m_scanDialog.IsRunning() || m_bAwaitingProbe; }
    const CScanChecks& ScanChecks() const { return m_scanChecks; }
    CScanIndicatorDlg& ScanDialog() { return m_scanDialog; }
    // What Copy path, View the file, Properties and the web links act on:
    // the selected row while the list has the focus, the selected module
    // item while the tree has it, else nothing.
    std::wstring GetSelectionPath() const override;
    bool SelectionIs64Bit() const override;

    ST_SplitterWnd* OuterSplitter() const { return m_pOuterSplitter.get(); }
    ST_SplitterWnd* InnerSplitter() const { return m_pInnerSplitter.get(); }
    const fw::ToolBar& ToolBar() const { return m_wndToolBar; }
    const fw::ReBar& ReBar() const { return m_wndReBar; }
    const fw::DialogBar& CommandBar() const { return m_wndCommandBar; }
    fw::StatusBar& StatusBar() { return m_wndStatusBar; }
    CHtmlHelp& HtmlHelp() { return m_htmlHelp; }

protected:
    const char* ClassName() const override { return kMainWindowClass; }
    void PrepareClass(WNDCLASSEXA& wc) const override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(CREATESTRUCTA& cs) override;
    void OnDestroy() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnClose() override;

private:
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
    // The tick could not open the scan dialog.
    void OnScanNotStarted();
    void OnSelfTestTick();
    void OnProbeDone();
    // Both sides of the scan are done: the tree, the census, the status
    // text and the page.
    void FinishScan();
    void ProvokeKeyboardHooks();
    void EndScanChecks();
    // The tree's items: the modules recorded here, then the 64-bit ones
    // that the companion found in 64-bit processes (each module once).
    ModuleTreeItems ScanTreeItems() const;
    bool FilterMessage(MSG& msg);

    bool SelectionRule() const;
    bool ListRowSelected() const;
    bool SelectedRowStartsWithWindows() const;
    bool IsBandShown(UINT childId) const;
    void ToggleBand(UINT childId);
    void ToggleStatusBar();
    void ToggleInfoBar();
    void CyclePane(bool forward);
    void OnHelpContents();
    void OnAbout();
    void OnQuarantinedFiles();
    // Builds the tree from these items after starting the census of their
    // modules, so that the tree's selection waits for that census.
    bool FillModuleTreeWithCensus(const ModuleTreeItems& items);

    CVeyrithDoc* m_pDocument = nullptr;
    std::unique_ptr<ST_SplitterWnd> m_pOuterSplitter;
    std::unique_ptr<ST_SplitterWnd> m_pInnerSplitter;
    CLeftView m_wndLeftView;
    CVeyrithView m_wndListView;
    CInfoView m_wndInfoView;
    CScanIndicatorDlg m_scanDialog;
    CScanChecks m_scanChecks;
    bool m_bAwaitingProbe = false;
    // The window is going: the end of the walk starts nothing more.
    bool m_bClosing = false;
    std::wstring m_strProgramFolder;
    HFONT m_hBoldFont = nullptr;
    fw::ToolBar m_wndToolBar;
    fw::ReBar m_wndReBar;
    fw::DialogBar m_wndCommandBar;
    fw::StatusBar m_wndStatusBar;
    fw::CommandTable m_commands;
    CHtmlHelp m_htmlHelp;
    CActions m_actions{*this};
    int m_nIdleHandlerId = 0;
    HWND m_hwndLastFocus = nullptr;
    // Tooltip texts must outlive the notification that asks for them.
    std::string m_strTooltip;
    std::wstring m_wstrTooltip;
};
