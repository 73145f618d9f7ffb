// A toolbar control whose buttons and pictures come from resources: a
// toolbar resource (version, button width and height, count, then one
// command id per entry, 0 for a separator) and a bitmap strip with one
// picture per button, silver being transparent.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>

#include "framework/wnd.h"
#include <vector>

#include "framework/image_list.h"

namespace fw {

// Resource type of toolbar resources.
constexpr WORD kToolBarResourceType = 241;

class ToolBar : public Wnd {
public:
    // Creates the control as a child of parent; commands and notifications
    // go to parent.
    bool Create(HWND parent, UINT id, DWORD style);
    // Loads the buttons and their pictures; false when either is missing or
    // the bitmap holds fewer pictures than there are buttons.
    bool Load(HMODULE module, UINT toolBarId, UINT bitmapId);

    // The command ids of the buttons in order, 0 for separators.
    const std::vector<UINT>& Commands() const { return m_commands; }

    int ButtonCount() const { assert(::IsWindow(Handle())); return static_cast<int>(SendMessageW(Handle(), TB_BUTTONCOUNT, 0, 0)); }
    bool IsButtonEnabled(UINT id) const { assert(::IsWindow(Handle())); return SendMessageW(Handle(), TB_ISBUTTONENABLED, id, 0) != 0; }
    bool GetButton(int index, TBBUTTON& button) const { assert(::IsWindow(Handle())); return SendMessageW(Handle(), TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) != 0; }
    bool GetItemRect(int index, RECT& rect) const { assert(::IsWindow(Handle())); return SendMessageW(Handle(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != 0; }
    int HitTest(POINT client) const { assert(::IsWindow(Handle())); return static_cast<int>(SendMessageW(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client))); }
    // The size that shows every button.
    SIZE IdealSize() const;

private:
    ImageList m_images;
    std::vector<UINT> m_commands;
};

}  // namespace fw
