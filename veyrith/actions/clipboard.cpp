#include "actions/clipboard.h"

#include <cwchar>

namespace {

// Hands a block to the clipboard; the block is freed when it refuses it.
bool PutBlock(UINT format, HGLOBAL block) {
    if (!block) return false;
    if (SetClipboardData(format, block)) return true;
    GlobalFree(block);
    return false;
}

bool PutUnicodeText(const std::wstring& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (text.size() + 1) * sizeof(wchar_t));
    wchar_t* wide = block ? static_cast<wchar_t*>(GlobalLock(block)) : nullptr;
    if (!wide) {
        if (block) GlobalFree(block);
        return false;
    }
    std::wmemcpy(wide, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return PutBlock(CF_UNICODETEXT, block);
}

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool unicode = PutUnicodeText(text);
    CloseClipboard();
    return unicode;
}
