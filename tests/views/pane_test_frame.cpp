#include "pane_test_frame.h"

#include <commctrl.h>

#include "common/string_resource.h"
#include "resources/resource.h"
#include "scanner/provocation.h"
#include "test_support.h"
#include "views/info_pages.h"

using testing_support::PumpMessages;

bool OpenedMenu::Has(UINT id) const {
    for (UINT each : ids)
        if (each == id) return true;
    return false;
}

namespace {

const char kClassName[] = "VeyrithPaneTestFrame";

OpenedMenu ReadMenu(HMENU menu) {
    OpenedMenu opened;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) opened.ids.push_back(GetMenuItemID(menu, i) == static_cast<UINT>(-1)
                                                             ? 0
                                                             : GetMenuItemID(menu, i));
    opened.defaultId = GetMenuDefaultItem(menu, FALSE, 0);
    return opened;
}

}  // namespace

PaneTestFrame::PaneTestFrame() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &PaneTestFrame::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    m_window = CreateWindowExA(0, kClassName, "pane test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 900,
                               600, nullptr, nullptr, wc.hInstance, this);
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    m_boldFont = CreateFontIndirectA(&font);
    m_ready = m_window && m_left.Create(m_window, 0xE900, this, m_result) &&
              m_list.Create(m_window, 0xE901, this, m_result) &&
              m_info.Create(m_window, 0xE902);
    if (!m_ready) return;
    MoveWindow(m_left, 0, 0, 300, 300, TRUE);
    MoveWindow(m_list, 300, 0, 590, 300, TRUE);
    MoveWindow(m_info, 0, 300, 890, 260, TRUE);
    m_list.SetReportMode();
    m_left.OnInitialUpdate();
    m_list.OnInitialUpdate();
    m_info.OnInitialUpdate();
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    PumpMessages(100);
}

PaneTestFrame::~PaneTestFrame() {
    if (m_window) DestroyWindow(m_window);
    if (m_boldFont) DeleteObject(m_boldFont);
}

void PaneTestFrame::StartScan() { ++scanStarts; }

void PaneTestFrame::OnTreeSelection(int module) {
    if (module < 0) {
        m_list.ShowNothing();
        return;
    }
    m_list.ShowModule(module);
    m_info.ShowModulePage(m_result, module);
}

void PaneTestFrame::OnCensusLanded() {
    int module = m_left.SelectedModule();
    if (module >= 0 && module == m_info.ShownModule()) m_info.ShowModulePage(m_result, module);
}

void PaneTestFrame::ShowStatus(UINT textId) { SetMessageText(LoadResString(textId)); }

void PaneTestFrame::ClearResults() {
    m_left.Clear();
    m_list.DropCensus();
}

void PaneTestFrame::ShowResult() {
    m_list.TakeCensus();
    m_left.ShowModules();
}

int PaneTestFrame::ModuleOf(const std::wstring& path) {
    int module = m_result.Find(path);
    return module >= 0 ? module : m_result.Add(CModuleFinding{path, 32});
}

bool WaitForCensus(const CVeyrithView& list, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (list.IsCensusRunning()) {
        if (GetTickCount() - start > timeoutMs) return false;
        PumpMessages(20);
    }
    PumpMessages(20);
    return true;
}

bool ShowAndWait(PaneTestFrame& frame, const std::string& module) {
    frame.List().ShowModule(frame.ModuleOf(testing_support::Wide(module)));
    return WaitForCensus(frame.List());
}

void PaneTestFrame::ProvokeHooks() {
    CProvocation provocation(GetModuleHandleW(nullptr), m_window);
    provocation.RunStages(StageBit(STAGE_KEYBOARD) | StageBit(STAGE_POSTED_MESSAGE));
    PumpMessages(50);
}

LRESULT CALLBACK PaneTestFrame::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<PaneTestFrame*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_COMMAND) {
        self->commands.push_back(LOWORD(wParam));
        return 0;
    }
    if (self && msg == WM_INITMENUPOPUP && !HIWORD(lParam)) {
        self->menus.push_back(ReadMenu(reinterpret_cast<HMENU>(wParam)));
        EndMenu();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

POINT TreeItemCentre(HWND tree, HTREEITEM item) {
    RECT rect = {};
    TreeView_GetItemRect(tree, item, &rect, TRUE);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tree, &point);
    return point;
}

POINT ListRowCentre(HWND list, int row) {
    RECT rect = {};
    ListView_GetItemRect(list, row, &rect, LVIR_LABEL);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
}

void ClickAt(POINT screen, bool right) {
    SetCursorPos(screen.x, screen.y);
    PumpMessages(50);
    mouse_event(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    PumpMessages(200);
}

LRESULT NotifyPane(HWND pane, HWND control, UINT code, POINT cursor) {
    SetCursorPos(cursor.x, cursor.y);
    NMHDR header = {};
    header.hwndFrom = control;
    header.idFrom = GetDlgCtrlID(control);
    header.code = code;
    return SendMessageA(pane, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void SelectRow(HWND list, int row) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0) ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
