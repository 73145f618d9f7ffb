#include "hover.h"

#include "common/owners.h"

#include <vector>

namespace {

const COLORREF kHighlightText = RGB(100, 100, 100);

LONG ButtonKind(HWND button) {
    return GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
}

bool IsPushKind(LONG kind) {
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}

bool IsHighlightable(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId()) return false;
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, L"button") != 0) return false;
    switch (ButtonKind(window)) {
    case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON: case BS_CHECKBOX: case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON: case BS_3STATE: case BS_AUTO3STATE: case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

void Restore(HWND button) {
    if (!IsWindow(button)) return;
    if (IsPushKind(ButtonKind(button)))
        SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    else
        InvalidateRect(button, nullptr, TRUE);
}

// Redraws the button's text pixels in the highlight colour, straight on its
// image on the screen. Push buttons keep their right and bottom edges.
void TintText(HWND button, bool keepEdges) {
    RECT rect;
    GetClientRect(button, &rect);
    int width = rect.right, height = rect.bottom;
    if (width <= 0 || height <= 0) return;
    CWindowDC screenDc(button);
    HDC screen = screenDc.Get();
    CMemoryDC memoryDc(CreateCompatibleDC(screen));
    HDC memory = memoryDc.Get();
    CBitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    HGDIOBJ old = SelectObject(memory, bitmap.Get());
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap.Get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    DWORD from = (GetRValue(text) << 16) | (GetGValue(text) << 8) | GetBValue(text);
    DWORD to = (GetRValue(kHighlightText) << 16) | (GetGValue(kHighlightText) << 8) |
               GetBValue(kHighlightText);
    int lastX = keepEdges ? width - 2 : width, lastY = keepEdges ? height - 2 : height;
    for (int y = 0; y < lastY; ++y)
        for (int x = 0; x < lastX; ++x) {
            DWORD& pixel = pixels[static_cast<size_t>(y) * width + x];
            if ((pixel & 0xFFFFFF) == from) pixel = to;
        }
    SetDIBits(memory, bitmap.Get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    old = SelectObject(memory, bitmap.Get());
    BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
}

}  // namespace

void UpdateButtonHighlight(HWND& highlighted) {
    POINT pointer;
    if (!GetCursorPos(&pointer)) return;
    HWND window = WindowFromPoint(pointer);
    if (highlighted && highlighted != window) {
        Restore(highlighted);
        highlighted = nullptr;
    }
    if (!window || window == highlighted || !IsHighlightable(window)) return;
    bool push = IsPushKind(ButtonKind(window));
    if (push) {
        SendMessageW(window, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        UpdateWindow(window);
    }
    TintText(window, push);
    highlighted = window;
}
