#include "framework/command_table.h"

#include <commctrl.h>

#include "common/string_resource.h"

namespace fw {

void CommandTable::Add(UINT id, Handler handler, Rule enabled, Rule checked) {
    m_entries[id] = Entry{std::move(handler), std::move(enabled), std::move(checked)};
}

bool CommandTable::Has(UINT id) const { return m_entries.count(id) != 0; }

bool CommandTable::HasHandler(UINT id) const {
    auto found = m_entries.find(id);
    return found != m_entries.end() && static_cast<bool>(found->second.handler);
}

bool CommandTable::SetHandler(UINT id, Handler handler) {
    auto found = m_entries.find(id);
    if (found == m_entries.end()) return false;
    found->second.handler = std::move(handler);
    return true;
}

bool CommandTable::IsEnabled(UINT id) const {
    auto found = m_entries.find(id);
    // A command that nothing handles yet is shown disabled.
    if (found == m_entries.end() || !found->second.handler) return false;
    return !found->second.enabled || found->second.enabled();
}

bool CommandTable::IsChecked(UINT id) const {
    auto found = m_entries.find(id);
    if (found == m_entries.end() || !found->second.checked) return false;
    return found->second.checked();
}

bool CommandTable::Dispatch(UINT id) const {
    auto found = m_entries.find(id);
    if (found == m_entries.end()) return false;
    if (IsEnabled(id)) found->second.handler();
    return true;
}

void CommandTable::UpdateMenu(HMENU popup) const {
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(popup, i);
        if (id == static_cast<UINT>(-1) || !Has(id)) continue;
        EnableMenuItem(popup, i, MF_BYPOSITION | (IsEnabled(id) ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(popup, i, MF_BYPOSITION | (IsChecked(id) ? MF_CHECKED : MF_UNCHECKED));
    }
}

void CommandTable::UpdateToolBar(HWND toolbar) const {
    int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
        if (button.fsStyle & TBSTYLE_SEP) continue;
        UINT id = static_cast<UINT>(button.idCommand);
        if (!Has(id)) continue;
        BYTE state = button.fsState;
        state = IsEnabled(id) ? (state | TBSTATE_ENABLED) : (state & ~TBSTATE_ENABLED);
        state = IsChecked(id) ? (state | TBSTATE_CHECKED) : (state & ~TBSTATE_CHECKED);
        if (state != button.fsState) SendMessageW(toolbar, TB_SETSTATE, id, MAKELONG(state, 0));
    }
}

std::wstring CommandTable::Prompt(UINT id) {
    std::wstring text = LoadResString(id);
    return text.substr(0, text.find(L'\n'));
}

std::wstring CommandTable::Tooltip(UINT id) {
    std::wstring text = LoadResString(id);
    size_t lineFeed = text.find(L'\n');
    return lineFeed == std::wstring::npos ? std::wstring() : text.substr(lineFeed + 1);
}

}  // namespace fw
