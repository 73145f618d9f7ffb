#include "actions/clipboard.h"

#include <cstring>

namespace {

// Hands a block to the clipboard; the block is freed when it refuses it.
bool PutBlock(UINT format, HGLOBAL block) {
    if (!block) return false;
    if (SetClipboardData(format, block)) return true;
    GlobalFree(block);
    return false;
}

bool PutAnsiText(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    char* bytes = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    if (!bytes) {
        if (block) GlobalFree(block);
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return PutBlock(CF_TEXT, block);
}

bool PutUnicodeText(const std::string& text) {
    int length = static_cast<int>(text.size());
    int chars = length ? MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0) : 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, (chars + 1) * sizeof(WCHAR));
    WCHAR* wide = block ? static_cast<WCHAR*>(GlobalLock(block)) : nullptr;
    if (!wide) {
        if (block) GlobalFree(block);
        return false;
    }
    if (chars) MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide, chars);
    GlobalUnlock(block);
    return PutBlock(CF_UNICODETEXT, block);
}

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool ansi = PutAnsiText(text);
    bool unicode = PutUnicodeText(text);
    CloseClipboard();
    return ansi && unicode;
}
