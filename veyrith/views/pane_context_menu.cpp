#include "views/pane_context_menu.h"

#include "resources/resource.h"
#include "common/string_resource.h"

CPaneContextMenu::CPaneContextMenu(bool withEndProcess) {
    m_menu = CMenu(LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(IDR_CONTEXT_MENU)));
    if (!m_menu) return;
    m_popup = GetSubMenu(m_menu.Get(), 0);
    if (!m_popup) return;
    SetMenuDefaultItem(m_popup, ID_VIEW_THE_FILE, FALSE);
    if (!withEndProcess) DeleteMenu(m_popup, ID_END_PROCESS, MF_BYCOMMAND);
}

void CPaneContextMenu::Track(HWND owner, POINT screen) const {
    if (!m_popup) return;
    TrackPopupMenu(m_popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
}
