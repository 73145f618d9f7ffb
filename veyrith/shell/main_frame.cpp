#include "shell/main_frame.h"

#include <windowsx.h>

#include "common/executable_folder.h"
#include "common/owners.h"
#include "common/product.h"
#include "framework/application.h"
#include "shell/about_dlg.h"
#include "quarantine/quarantine_dlg.h"
#include "views/results_report.h"
#include "resources/resource.h"
#include "shell/web_links.h"
#include "shell/splash_wnd.h"
#include "common/string_resource.h"

namespace {

// The splash stays up at least this long while the frame starts.
constexpr DWORD kSplashPauseMs = 1000;
constexpr wchar_t kHelpTopic[] = L"main.htm";
// Band styles of both rebar bands: each on its own row, no text.
constexpr UINT kBandStyle = RBBS_BREAK | RBBS_FIXEDBMP | RBBS_GRIPPERALWAYS;

CFont CreateBoldGuiFont() {
    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    return CFont(CreateFontIndirectW(&font));
}

bool IsInside(HWND outer, HWND hwnd) { return hwnd && (hwnd == outer || IsChild(outer, hwnd)); }

}  // namespace

CMainFrame::CMainFrame(CDesktop& desktop, const std::wstring& toolFolder)
    : m_desktop(desktop),
      m_strProgramFolder(ExecutableFolder()),
      m_tool(toolFolder),
      m_quarantine(toolFolder),
      m_wndCommandBar(IDD_COMMAND_BAR) {
    m_hBoldFont = CreateBoldGuiFont();
    BuildCommandTable();
}

CMainFrame::~CMainFrame() {
    // The window goes while the panes and bars it holds still exist. The
    // object's owner is ending it, so the message loop is not asked to end.
    fw::Application* app = fw::Application::Current();
    if (app && Handle() && app->MainWindow() == Handle()) app->SetMainWindow(nullptr);
    if (Handle()) Destroy();
}

bool CMainFrame::Create(CVeyrithDoc* pDocument) {
    if (!pDocument) return false;
    m_pDocument = pDocument;
    std::wstring title = LoadResString(fw::kAppTitleStringId);
    CMenu menu(LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME)));
    if (!menu) return false;
    bool created = fw::Window::Create(nullptr, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      menu.Get());
    // The window owns its menu once created; one that failed in WM_CREATE
    // has already destroyed it.
    if (created || !IsMenu(menu.Get())) menu.Release();
    if (!created) return false;
    // The first view update: the tree's start item and the welcome page.
    m_wndLeftView.OnInitialUpdate();
    m_wndListView.OnInitialUpdate();
    m_wndInfoView.OnInitialUpdate();
    SetMessageText(LoadResString(IDS_IDLE_MESSAGE));
    RecalcLayout();
    // The tree takes the focus when the frame is first activated.
    m_hwndLastFocus = m_wndLeftView.Tree();
    return true;
}

void CMainFrame::PrepareClass(WNDCLASSEXW& wc) const {
    HMODULE module = ResourceModule();
    wc.hIcon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
}

bool CMainFrame::OnCreate(CREATESTRUCTW&) {
    if (!CreateClient()) return false;
    CenterOver(nullptr);
    if (!CreateBars()) return false;

    fw::Application* app = fw::Application::Current();
    if (app) {
        app->SetAccelerators(LoadAcceleratorsW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME)));
        m_nIdleHandlerId = app->AddIdleHandler([this] { OnIdle(); });
        app->SetBrowserFilter([this](MSG& msg) { return FilterMessage(msg); });
    }
    CSplashWnd::ShowSplashScreen(Handle());
    Sleep(kSplashPauseMs);
    return true;
}

bool CMainFrame::CreateClient() {
    // Outer splitter: two rows; the inner one, two columns, in its top row.
    m_pOuterSplitter = std::make_unique<ST_SplitterWnd>();
    m_pInnerSplitter = std::make_unique<ST_SplitterWnd>();
    if (!m_pOuterSplitter->Create(Handle(), IDW_PANE_FIRST, false)) return false;
    if (!m_pOuterSplitter->CreateNested(0, *m_pInnerSplitter, true)) return false;
    ST_SplitterWnd& inner = *m_pInnerSplitter;
    if (!m_wndLeftView.Create(inner, inner.SideId(0), this, Result()) ||
        !m_wndListView.Create(inner, inner.SideId(1), this, Result()))
        return false;
    inner.SetPane(0, m_wndLeftView);
    inner.SetPane(1, m_wndListView);
    if (!m_wndInfoView.Create(*m_pOuterSplitter, m_pOuterSplitter->SideId(1))) return false;
    m_pOuterSplitter->SetPane(1, m_wndInfoView);

    RECT client = ClientRect();
    m_pOuterSplitter->SetSideInfo(0, client.bottom / 2, 0);
    inner.SetSideInfo(0, kTreeWidth, 0);
    m_wndListView.SetReportMode();
    return true;
}

bool CMainFrame::CreateBars() {
    const DWORD toolStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                            CCS_NORESIZE | CCS_NOPARENTALIGN;
    if (!m_wndToolBar.Create(Handle(), ID_VIEW_TOOLBAR, toolStyle)) return false;
    if (!m_wndToolBar.Load(ResourceModule(), IDR_MAINFRAME, IDB_TOOLBAR)) return false;
    if (!m_wndCommandBar.Create(Handle(), IDW_COMMAND_BAR, Handle())) return false;
    ShowWindow(m_wndCommandBar, SW_SHOW);
    if (!CreateBands()) return false;

    const DWORD statusStyle = WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP;
    if (!m_wndStatusBar.Create(Handle(), ID_VIEW_STATUS_BAR, statusStyle)) return false;
    return m_wndStatusBar.SetIndicators({{ID_INDICATOR_CAPS, VK_CAPITAL},
                                         {ID_INDICATOR_NUM, VK_NUMLOCK},
                                         {ID_INDICATOR_SCRL, VK_SCROLL}});
}

bool CMainFrame::CreateBands() {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_BANDBORDERS |
                        CCS_TOP | CCS_NODIVIDER;
    if (!m_wndReBar.Create(Handle(), IDW_REBAR, style)) return false;
    return m_wndReBar.AddBand(m_wndToolBar, kBandStyle, m_wndToolBar.IdealSize()) &&
           m_wndReBar.AddBand(m_wndCommandBar, kBandStyle, m_wndCommandBar.Size());
}

void CMainFrame::OnDestroy() {
    m_session.EndWithWindow();
    fw::Application* app = fw::Application::Current();
    if (app) {
        if (m_nIdleHandlerId) app->RemoveIdleHandler(m_nIdleHandlerId);
        m_nIdleHandlerId = 0;
        app->SetBrowserFilter(nullptr);
        if (app->MainWindow() == Handle()) {
            app->SetAccelerators(nullptr);
            app->SetMainWindow(nullptr);
            PostQuitMessage(0);
        }
    }
}

// ---- Layout ----

void CMainFrame::RecalcLayout() {
    if (!m_pOuterSplitter || !m_wndStatusBar.Handle()) return;
    RECT client = ClientRect();
    int top = 0;
    if (IsWindowVisible(m_wndReBar)) {
        SendMessageW(m_wndReBar, WM_SIZE, 0, 0);
        top = m_wndReBar.Height();
    }
    m_wndStatusBar.Resize();
    int bottom = client.bottom - m_wndStatusBar.Height();
    if (bottom < top) bottom = top;
    MoveWindow(*m_pOuterSplitter, 0, top, client.right, bottom - top, TRUE);
}

bool CMainFrame::IsBandShown(UINT childId) const {
    int index = m_wndReBar.BandIndex(childId);
    REBARBANDINFOW band = {};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask = RBBIM_STYLE;
    return index >= 0 && m_wndReBar.GetBandInfo(index, band) && !(band.fStyle & RBBS_HIDDEN);
}

void CMainFrame::ToggleBand(UINT childId) {
    int index = m_wndReBar.BandIndex(childId);
    if (index < 0) return;
    m_wndReBar.ShowBand(index, !IsBandShown(childId));
    // The rebar itself is shown while at least one of its bands is.
    bool anyShown = IsBandShown(ID_VIEW_TOOLBAR) || IsBandShown(IDW_COMMAND_BAR);
    ShowWindow(m_wndReBar, anyShown ? SW_SHOWNA : SW_HIDE);
    RecalcLayout();
}

void CMainFrame::ToggleStatusBar() {
    ShowWindow(m_wndStatusBar, IsWindowVisible(m_wndStatusBar) ? SW_HIDE : SW_SHOWNA);
    RecalcLayout();
}

void CMainFrame::ToggleInfoBar() {
    if (m_pOuterSplitter->IsSideShown(1))
        m_pOuterSplitter->HideSide(1);
    else
        m_pOuterSplitter->ShowSide();
}

// ---- Command table ----

void CMainFrame::BuildCommandTable() {
    m_commands.Add(ID_EXPORT_RESULTS, [this] { ExportResults(m_desktop, Handle(), Result()); },
                   [this] { return m_wndLeftView.Tree() && m_wndLeftView.GetCount() > 1; });
    m_commands.Add(ID_APP_EXIT, [this] { Send(WM_CLOSE); });
    m_commands.Add(ID_EDIT_COPY, [this] { m_actions.CopyPath(ActionTarget()); },
                   [this] { return ActionTarget().IsSomething(); });
    m_commands.Add(IDC_HIDDEN_ONLY, [this] { m_wndListView.Refresh(); });
    m_commands.Add(ID_APP_ABOUT, [this] { OnAbout(); });
    m_commands.Add(ID_NEXT_PANE, [this] { CyclePane(true); });
    m_commands.Add(ID_PREV_PANE, [this] { CyclePane(false); });
    BuildViewCommands();
    BuildActionCommands();
    BuildHelpCommands();
}

void CMainFrame::BuildViewCommands() {
    m_commands.Add(ID_VIEW_TOOLBAR, [this] { ToggleBand(ID_VIEW_TOOLBAR); }, {},
                   [this] { return IsBandShown(ID_VIEW_TOOLBAR); });
    m_commands.Add(ID_VIEW_COMMAND_BAR, [this] { ToggleBand(IDW_COMMAND_BAR); }, {},
                   [this] { return IsBandShown(IDW_COMMAND_BAR); });
    m_commands.Add(ID_VIEW_STATUS_BAR, [this] { ToggleStatusBar(); }, {},
                   [this] { return IsWindowVisible(m_wndStatusBar) != FALSE; });
    m_commands.Add(ID_VIEW_INFO_BAR, [this] { ToggleInfoBar(); }, {},
                   [this] { return m_pOuterSplitter && m_pOuterSplitter->IsSideShown(1); });
    m_commands.Add(ID_QUARANTINED_FILES, [this] { OnQuarantinedFiles(); }, [] { return !IsToolRunning(); });
    m_commands.Add(ID_PROPERTIES, [this] { m_actions.ShowProperties(ActionTarget()); },
                   [this] { return ActionTarget().IsSomething(); });
}

void CMainFrame::BuildActionCommands() {
    // One change at a time: while the tool makes one, no other is offered,
    // nor a scan that would take the rows from under it.
    m_commands.Add(ID_SCAN, [this] { StartScan(); }, [this] { return !m_session.IsRunning() && !IsToolRunning(); });
    m_commands.Add(ID_QUARANTINE_FILE, [this] { m_actions.QuarantineFile(ActionTarget()); },
                   [this] { return ActionTarget().IsSomething() && !IsToolRunning(); });
    m_commands.Add(ID_END_PROCESS, [this] { m_actions.EndProcess(ActionTarget()); },
                   [this] { return ActionTarget().IsRow() && !IsToolRunning(); });
    m_commands.Add(ID_VIEW_THE_FILE, [this] { m_actions.ViewTheFile(ActionTarget()); },
                   [this] { return ActionTarget().IsSomething(); });
    m_commands.Add(ID_REMOVE_FROM_AUTORUN, [this] { m_actions.RemoveFromAutorun(ActionTarget()); },
                   [this] { return ActionTarget().IsAutoRunRow() && !IsToolRunning(); });
}

void CMainFrame::BuildHelpCommands() {
    m_commands.Add(ID_HELP_CONTENTS, [this] { OnHelpContents(); });
    m_commands.Add(ID_HELP_HOME_PAGE, [this] { OpenWebPage(m_desktop, Handle(), kHomePageUrl); });
    m_commands.Add(ID_HELP_SUPPORT, [this] { OpenWebPage(m_desktop, Handle(), kSupportPageUrl); });
}

// ---- Selection ----

CActionTarget FocusedActionTarget(const CScanResult& result, const CLeftView& tree, const CVeyrithView& list) {
    if (list.List() && list.HasFocus()) {
        CListItemState record;
        if (!list.GetSelectedRecord(record)) return CActionTarget();
        int shown = list.ShownModule();
        return CActionTarget::Row(record, result.IsModule(shown) && result.Finding(shown).Is64Bit());
    }
    if (!tree.Tree() || !tree.HasFocus()) return CActionTarget();
    int module = tree.SelectedModule();
    if (!result.IsModule(module)) return CActionTarget();
    return CActionTarget::Module(result.Finding(module));
}

void CMainFrame::CyclePane(bool forward) {
    HWND panes[] = {m_wndLeftView.Tree(), m_wndListView.List(), m_wndInfoView.Handle()};
    const int count = 3;
    int current = m_wndLeftView.HasFocus() ? 0 : m_wndListView.HasFocus() ? 1 : m_wndInfoView.HasFocus() ? 2 : -1;
    int next = current;
    for (int step = 0; step < count; ++step) {
        next = forward ? (next + 1) % count : (next + count - 1) % count;
        if (next < 0) next = 0;
        if (panes[next] && IsWindowVisible(panes[next])) break;
    }
    if (panes[next]) SetFocus(panes[next]);
}

// ---- Scan ----

void CMainFrame::StartScan() { m_session.Start(m_strProgramFolder); }

void CMainFrame::ShowStatus(UINT textId) { SetMessageText(LoadResString(textId)); }

void CMainFrame::ClearResults() {
    m_wndLeftView.Clear();
    m_wndListView.DropCensus();
}

void CMainFrame::ShowResult() {
    // The census of every module starts before the tree selects the first
    // one, so the selection waits for that census instead of starting its own.
    m_wndListView.TakeCensus();
    m_wndLeftView.ShowModules();
}

void CMainFrame::OnTreeSelection(int module) {
    if (module < 0) {
        m_wndListView.ShowNothing();
        return;
    }
    m_wndListView.ShowModule(module);
    m_wndInfoView.ShowModulePage(Result(), module);
}

void CMainFrame::OnCensusLanded() {
    // The page of the selected module says more once its hosts are known.
    int module = m_wndLeftView.SelectedModule();
    if (module >= 0 && module == m_wndInfoView.ShownModule()) m_wndInfoView.ShowModulePage(Result(), module);
}

bool CMainFrame::OnClose() {
    // A change in flight is never cut short: the window closes once it is done.
    if (IsToolRunning()) {
        if (m_desktop.ShowMessage(IDS_CLOSE_AFTER_CHANGE, MB_YESNO | MB_ICONQUESTION) == IDYES) CloseAfterChange();
        return true;
    }
    if (m_session.IsRunning()) {
        if (m_desktop.ShowMessage(IDS_SCAN_NOT_COMPLETE, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return true;
        m_session.Stop();
    }
    DestroyWindow(Handle());
    return true;
}

void CMainFrame::CloseAfterChange() { ::SetTimer(Handle(), kCloseAfterChangeTimerId, kCloseAfterChangeMs, nullptr); }

void CMainFrame::OnCloseRequest() {
    if (IsToolRunning()) {
        CloseAfterChange();
        return;
    }
    m_session.Stop();
    DestroyWindow(Handle());
}

FrameParts CMainFrame::Parts() {
    return FrameParts{m_wndLeftView, m_wndListView, m_wndInfoView, m_pOuterSplitter.get(),
                      m_pInnerSplitter.get(), m_wndToolBar, m_wndReBar, m_wndCommandBar,
                      m_wndStatusBar, m_htmlHelp, m_commands};
}

// ---- Help ----

void CMainFrame::OnAbout() {
    CAboutDlg dialog;
    dialog.DoModal(Handle());
}

void CMainFrame::OnQuarantinedFiles() { CQuarantineDlg::Show(Handle(), m_desktop, m_quarantine); }

void CMainFrame::OnHelpContents() {
    m_htmlHelp.DisplayContents(m_strProgramFolder + kHelpFileNameW + L"::/" + kHelpTopic);
}

// ---- Status bar ----

void CMainFrame::SetMessageText(const std::wstring& text) {
    if (m_wndStatusBar.Handle()) m_wndStatusBar.SetPaneText(0, text);
}

bool CMainFrame::IsHiddenOnlyChecked() const {
    return m_wndCommandBar.Handle() && m_wndCommandBar.IsChecked(IDC_HIDDEN_ONLY);
}

void CMainFrame::OnIdle() {
    if (!Handle()) return;
    m_commands.UpdateToolBar(m_wndToolBar);
    m_wndStatusBar.UpdateIndicators();
}

void CMainFrame::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && !menu) {
        SetMessageText(LoadResString(IDS_IDLE_MESSAGE));
        return;
    }
    bool isCommand = !(flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU));
    SetMessageText(isCommand ? fw::CommandTable::Prompt(item) : std::wstring());
}

// ---- Messages ----

bool CMainFrame::OnCommand(UINT id, UINT code, HWND control) {
    // Menus, accelerators, toolbar buttons and the command bar's check box;
    // other notifications of controls are not commands.
    bool isCommand = code == BN_CLICKED || (code == 1 && !control);
    return isCommand && m_commands.Dispatch(id);
}

bool CMainFrame::FilterMessage(MSG& msg) {
    if (!IsInside(Handle(), msg.hwnd)) return false;
    // F1 alone opens the help, as the system's help key.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && GetKeyState(VK_SHIFT) >= 0 &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        m_commands.Dispatch(ID_HELP_CONTENTS);
        return true;
    }
    return m_wndInfoView.Handle() && m_wndInfoView.TranslateAccelerator(msg);
}

LRESULT CMainFrame::OnNotify(NMHDR& header) {
    switch (header.code) {
    case TTN_GETDISPINFOW: {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        m_strTooltip = fw::CommandTable::Tooltip(static_cast<UINT>(header.idFrom));
        info.lpszText = const_cast<wchar_t*>(m_strTooltip.c_str());
        return 0;
    }
    case TBN_HOTITEMCHANGE: {
        // Fly-by help: the prompt of the button under the mouse.
        auto& hot = reinterpret_cast<NMTBHOTITEM&>(header);
        bool leaving = (hot.dwFlags & HICF_LEAVING) != 0;
        SetMessageText(leaving ? LoadResString(IDS_IDLE_MESSAGE)
                               : fw::CommandTable::Prompt(static_cast<UINT>(hot.idNew)));
        return 0;
    }
    case RBN_HEIGHTCHANGE:
        RecalcLayout();
        return 0;
    }
    return 0;
}

LRESULT CMainFrame::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = kMinTrackWidth;
        info->ptMinTrackSize.y = kMinTrackHeight;
        return DefaultProc(msg, wParam, lParam);
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) RecalcLayout();
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_INITMENUPOPUP:
        // The system menu keeps its own states.
        if (!HIWORD(lParam)) m_commands.UpdateMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_ACTIVATE:
        // The pane that had the focus gets it back when the frame returns.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (IsInside(Handle(), GetFocus()) && GetFocus() != Handle()) m_hwndLastFocus = GetFocus();
        } else if (!HIWORD(wParam) && ::IsWindow(m_hwndLastFocus) && IsChild(m_hwndLastFocus)) {
            SetFocus(m_hwndLastFocus);
            return 0;
        }
        break;
    case kCloseRequestMessage:
        OnCloseRequest();
        return 0;
    case WM_TIMER:
        if (wParam != kCloseAfterChangeTimerId) break;
        if (IsToolRunning()) return 0;
        ::KillTimer(Handle(), kCloseAfterChangeTimerId);
        OnCloseRequest();
        return 0;
    }
    return fw::Window::OnMessage(msg, wParam, lParam);
}
