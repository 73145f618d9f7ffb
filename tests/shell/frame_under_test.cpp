#include "frame_under_test.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "shell/splash_wnd.h"
#include "test_support.h"

FrameUnderTest::~FrameUnderTest() {
    m_frame.reset();
    TakeQuitMessage();
}

bool FrameUnderTest::Create() {
    CSplashWnd::EnableSplashScreen(false);
    if (!m_document.OnNewDocument()) return false;
    m_frame = std::make_unique<CMainFrame>(
        m_desktop, m_toolFolder.empty() ? testing_support::Wide(testing_support::BinDir()) : m_toolFolder);
    if (!m_frame->Create(&m_document)) return false;
    m_app.SetMainWindow(m_frame->Handle());
    ShowWindow(m_frame->Handle(), SW_SHOW);
    UpdateWindow(m_frame->Handle());
    SetForegroundWindow(m_frame->Handle());
    Pump(200);
    return true;
}

FakeDesktop& FrameUnderTest::FreshDesktop(int boxAnswer) {
    m_desktop.Clear();
    m_desktop.boxAnswer = boxAnswer;
    return m_desktop;
}

void FrameUnderTest::Pump(DWORD ms) {
    ::PumpUntil(m_app, ms, [] { return false; });
}

void FrameUnderTest::Command(UINT id) {
    PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump(50);
}

bool FrameUnderTest::RunScan(DWORD timeoutMs) {
    Command(ID_SCAN);
    if (!PumpUntil(2000, [&] { return m_frame->Session().IsRunning(); })) return false;
    return PumpUntil(timeoutMs, [&] { return !m_frame->Session().IsRunning(); }) &&
           PumpUntil(timeoutMs, [&] { return !m_frame->Parts().listView.IsCensusRunning(); });
}

void FrameUnderTest::Focus(HWND window) {
    SetForegroundWindow(Handle());
    SetFocus(window);
    Pump(30);
}

void FrameUnderTest::FocusTreeItem(HTREEITEM item) {
    HWND tree = m_frame->Parts().leftView.Tree();
    TreeView_SelectItem(tree, item);
    Focus(tree);
}

void FrameUnderTest::FocusListRow(int row) {
    HWND list = m_frame->Parts().listView.List();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0) ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Focus(list);
}

CActionTarget FrameUnderTest::ActionTarget() {
    FrameParts parts = m_frame->Parts();
    return FocusedActionTarget(m_document.ScanResult(), parts.leftView, parts.listView);
}

const CModuleFinding* FrameUnderTest::ItemModule(HTREEITEM item) {
    int module = m_frame->Parts().leftView.GetItemModule(item);
    return Result().IsModule(module) ? &Result().Finding(module) : nullptr;
}

HMENU FrameUnderTest::MenuBarPopup(const std::string& title) const {
    HMENU bar = GetMenu(Handle());
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        char text[64] = {};
        GetMenuStringA(bar, i, text, sizeof(text), MF_BYPOSITION);
        if (title == text) return GetSubMenu(bar, i);
    }
    return nullptr;
}

bool FrameUnderTest::MenuItemEnabled(const std::string& popupTitle, UINT id) {
    HMENU popup = MenuBarPopup(popupTitle);
    SendMessageA(Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    return !(GetMenuState(popup, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
}

bool FrameUnderTest::MenuItemChecked(const std::string& popupTitle, UINT id) {
    HMENU popup = MenuBarPopup(popupTitle);
    SendMessageA(Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    return (GetMenuState(popup, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool FrameUnderTest::ToolButtonEnabled(UINT id) {
    // Any message that is not a mouse move or paint leads to an idle pass.
    PostMessageA(Handle(), WM_NULL, 0, 0);
    m_app.PumpWaiting();
    return SendMessageA(m_frame->Parts().toolBar.Handle(), TB_ISBUTTONENABLED, id, 0) != 0;
}

void PressKeys(std::initializer_list<BYTE> keys) {
    for (BYTE key : keys) keybd_event(key, 0, 0, 0);
    for (auto it = keys.end(); it != keys.begin();) keybd_event(*--it, 0, KEYEVENTF_KEYUP, 0);
}

void ClickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

bool TakeQuitMessage() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

CVeyrithApp& App() {
    static FakeDesktop desktop;
    static CVeyrithApp app(desktop);
    return app;
}
