#include "views/info_view.h"

#include "views/info_pages.h"

namespace {

// The pane's background wherever the browser does not cover it: white, like
// the pages, never the system's dialog colour.
HBRUSH WhiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

}  // namespace

bool CInfoView::Create(HWND parent, UINT id) {
    RECT rect = {};
    GetClientRect(parent, &rect);
    return fw::Window::Create(parent, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0,
                              rect.right, rect.bottom, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CInfoView::PrepareClass(WNDCLASSEXW& wc) const { wc.hbrBackground = WhiteBrush(); }

bool CInfoView::OnCreate(CREATESTRUCTW& cs) {
    // Without a usable browser control the pane simply stays white.
    m_browser.Create(Handle(), InfoBrowserRect(cs.cx, cs.cy));
    return true;
}

void CInfoView::OnInitialUpdate() { ShowPage(kInitialInfoPage); }

void CInfoView::ShowPage(const char* resourceName) {
    if (!resourceName) return;
    m_requestedPage = resourceName;
    m_nShownModule = -1;
    m_modulePage.clear();
    ShowInfoPage(m_browser, resourceName);
}

void CInfoView::ShowModulePage(const CScanResult& result, int module) {
    if (!result.IsModule(module)) return;
    m_requestedPage.clear();
    m_nShownModule = module;
    m_modulePage = ModulePageHtml(result, module);
    m_browser.Navigate(InlinePageUrl(m_modulePage).c_str());
}

bool CInfoView::HasFocus() const {
    HWND focus = GetFocus();
    return focus && (focus == Handle() || IsChild(focus));
}

bool CInfoView::TranslateAccelerator(MSG& msg) { return m_browser.PreTranslateMessage(&msg); }

void CInfoView::OnSize(int cx, int cy) {
    if (m_browser.GetSafeHwnd()) m_browser.MoveWindow(InfoBrowserRect(cx, cy));
}

LRESULT CInfoView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(WhiteBrush());
    }
    return fw::Window::OnMessage(msg, wParam, lParam);
}
