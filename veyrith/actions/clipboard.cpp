#include "actions/clipboard.h"

#include <cwchar>
#include <utility>

#include "common/owners.h"

namespace {

// Hands a block to the clipboard, which owns it from then on; a refused
// block is freed by its owner.
bool PutBlock(UINT format, CGlobalMemory block) {
    if (!block) return false;
    if (!SetClipboardData(format, block.Get())) return false;
    block.Release();
    return true;
}

bool PutUnicodeText(const std::wstring& text) {
    CGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (text.size() + 1) * sizeof(wchar_t)));
    wchar_t* wide = block ? static_cast<wchar_t*>(GlobalLock(block.Get())) : nullptr;
    if (!wide) return false;
    std::wmemcpy(wide, text.c_str(), text.size() + 1);
    GlobalUnlock(block.Get());
    return PutBlock(CF_UNICODETEXT, std::move(block));
}

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool unicode = PutUnicodeText(text);
    CloseClipboard();
    return unicode;
}
