#include "framework/status_bar.h"

#include "common/owners.h"
#include "common/string_resource.h"

namespace fw {

bool StatusBar::Create(HWND parent, UINT id, DWORD style) {
    Attach(CreateWindowExW(0, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                             nullptr));
    return Handle() != nullptr;
}

bool StatusBar::SetIndicators(const std::vector<Indicator>& indicators) {
    assert(::IsWindow(Handle()));
    m_indicators = indicators;
    m_widths.clear();
    CWindowDC windowDc(Handle());
    HDC dc = windowDc.Get();
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    for (const Indicator& indicator : m_indicators) {
        std::wstring text = LoadResString(indicator.stringId);
        if (text.empty()) continue;
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        m_widths.push_back(size.cx + 12);
    }
    SelectObject(dc, old);
    if (m_widths.size() != m_indicators.size()) return false;
    SetParts();
    UpdateIndicators();
    return true;
}

void StatusBar::SetParts() {
    RECT client = {};
    GetClientRect(Handle(), &client);
    // A size grip takes room at the right edge.
    int right = client.right - ((GetWindowLongW(Handle(), GWL_STYLE) & SBARS_SIZEGRIP) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    std::vector<int> edges(m_widths.size() + 1);
    for (size_t i = m_widths.size(); i > 0; --i) {
        edges[i] = right;
        right -= m_widths[i - 1];
    }
    edges[0] = right > 0 ? right : 0;
    edges.back() = -1;
    SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void StatusBar::SetPaneText(int pane, const std::wstring& text) {
    assert(::IsWindow(Handle()));
    if (PaneText(pane) == text) return;
    SendMessageW(Handle(), SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusBar::PaneText(int pane) const {
    assert(::IsWindow(Handle()));
    LRESULT length = LOWORD(SendMessageW(Handle(), SB_GETTEXTLENGTHW, pane, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(Handle(), SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

void StatusBar::UpdateIndicators() {
    for (size_t i = 0; i < m_indicators.size(); ++i) {
        bool on = (GetKeyState(m_indicators[i].virtualKey) & 1) != 0;
        SetPaneText(static_cast<int>(i) + 1, on ? LoadResString(m_indicators[i].stringId) : std::wstring());
    }
}

void StatusBar::Resize() {
    assert(::IsWindow(Handle()));
    SendMessageW(Handle(), WM_SIZE, 0, 0);
    if (!m_widths.empty()) SetParts();
}

}  // namespace fw
