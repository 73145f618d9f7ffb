#include "framework/tool_bar.h"

#include "common/owners.h"

namespace fw {

namespace {

// The toolbar resource: version 1, then the button size and the entries.
struct ToolBarData {
    WORD version;
    WORD width;
    WORD height;
    WORD count;
};

bool ReadToolBarResource(HMODULE module, UINT id, ToolBarData& header, std::vector<UINT>& commands) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolBarResourceType));
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (!words || size < sizeof(ToolBarData)) return false;
    header = *reinterpret_cast<const ToolBarData*>(words);
    if (header.version != 1 || size < sizeof(ToolBarData) + header.count * sizeof(WORD)) return false;
    commands.assign(words + 4, words + 4 + header.count);
    return true;
}

}  // namespace

bool ToolBar::Create(HWND parent, UINT id, DWORD style) {
    Attach(CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                             nullptr));
    if (!Handle()) return false;
    SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return true;
}

bool ToolBar::Load(HMODULE module, UINT toolBarId, UINT bitmapId) {
    assert(::IsWindow(Handle()));
    ToolBarData header = {};
    if (!ReadToolBarResource(module, toolBarId, header, m_commands)) return false;
    int pictures = 0;
    for (UINT command : m_commands)
        if (command) ++pictures;

    // The image list copies the strip, which goes at the end of the call.
    CBitmap strip(static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0)));
    if (!strip) return false;
    bool loaded = m_images.Create(header.width, header.height, ILC_COLOR24 | ILC_MASK, pictures, 0) &&
                  m_images.AddMasked(strip.Get(), RGB(192, 192, 192)) >= 0;
    if (!loaded || m_images.Count() < pictures) return false;

    SendMessageW(Handle(), TB_SETBITMAPSIZE, 0, MAKELONG(header.width, header.height));
    SendMessageW(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.Handle()));
    std::vector<TBBUTTON> buttons(m_commands.size());
    int picture = 0;
    for (size_t i = 0; i < m_commands.size(); ++i) {
        buttons[i].idCommand = static_cast<int>(m_commands[i]);
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = m_commands[i] ? TBSTYLE_BUTTON : TBSTYLE_SEP;
        buttons[i].iBitmap = m_commands[i] ? picture++ : 0;
    }
    return SendMessageW(Handle(), TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

SIZE ToolBar::IdealSize() const {
    assert(::IsWindow(Handle()));
    SIZE size = {};
    SendMessageW(Handle(), TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return size;
}

}  // namespace fw
