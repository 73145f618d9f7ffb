#include "installer_shared/url_window.h"

#include "common/owners.h"

#include <shellapi.h>

#include <cstdlib>

namespace installer {
namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverPeriodMs = 100;

URLWindowLook g_look = {RGB(0, 0, 0), RGB(0x64, 0x64, 0x64), 0};
// The one font of all links, made by the first link of the process and
// released when the last one goes.
CFont g_linkFont;
int g_linkCount = 0;

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

HFONT CreateLinkFont(const URLWindowFields& fields) {
    LOGFONTW font = {};
    if (fields.face == L"default") {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    } else {
        font.lfHeight = -fields.size;
        font.lfWeight = 500;
        font.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(font.lfFaceName, fields.face.c_str(), LF_FACESIZE);
    }
    font.lfUnderline = TRUE;
    return CreateFontIndirectW(&font);
}

// Sizes the link to the extent of its text, keeping its position.
void FitToText(HWND hwnd, const std::wstring& text) {
    CWindowDC windowDc(hwnd);
    HDC dc = windowDc.Get();
    HGDIOBJ old = SelectObject(dc, g_linkFont.Get());
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    SetWindowPos(hwnd, nullptr, 0, 0, extent.cx, extent.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PointerInside(HWND hwnd) {
    POINT pointer = {};
    RECT bounds = {};
    return GetCursorPos(&pointer) && GetWindowRect(hwnd, &bounds) && PtInRect(&bounds, pointer);
}

// The hover state lives in the window's user data: 1 inside, 0 outside.
bool Hovered(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWLP_USERDATA) != 0; }

void OnCreate(HWND hwnd) {
    URLWindowFields fields = ParseURLWindowText(WindowText(hwnd));
    if (!g_linkFont) g_linkFont = CFont(CreateLinkFont(fields));
    ++g_linkCount;
    FitToText(hwnd, fields.text);
    SetTimer(hwnd, kHoverTimer, kHoverPeriodMs, nullptr);
}

void OnDestroy(HWND hwnd) {
    KillTimer(hwnd, kHoverTimer);
    if (--g_linkCount == 0) g_linkFont.Reset();
}

void OnTimer(HWND hwnd) {
    bool inside = PointerInside(hwnd);
    if (inside == Hovered(hwnd)) return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, inside ? 1 : 0);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    std::wstring text = ParseURLWindowText(WindowText(hwnd)).text;
    RECT client;
    GetClientRect(hwnd, &client);
    HGDIOBJ old = SelectObject(dc, g_linkFont.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Hovered(hwnd) ? g_look.crHover : g_look.crNormal);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(hwnd, &paint);
}

void OpenTarget(HWND hwnd) {
    std::wstring target = ParseURLWindowText(WindowText(hwnd)).target;
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CALLBACK URLWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(hwnd); return 0;
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    case WM_TIMER: OnTimer(hwnd); return 0;
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_LBUTTONUP: OpenTarget(hwnd); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

URLWindowFields ParseURLWindowText(const std::wstring& windowText) {
    std::wstring parts[4];
    size_t start = 0;
    for (int i = 0; i < 4 && start <= windowText.size(); ++i) {
        size_t bar = windowText.find(L'|', start);
        if (bar == std::wstring::npos) bar = windowText.size();
        parts[i] = windowText.substr(start, bar - start);
        start = bar + 1;
    }
    URLWindowFields fields;
    fields.text = parts[0];
    fields.target = parts[1];
    fields.face = parts[2];
    fields.size = _wtoi(parts[3].c_str());
    return fields;
}

bool RegisterURLWindowClass(HINSTANCE instance, const URLWindowLook& look) {
    g_look = look;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = URLWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(instance, MAKEINTRESOURCEW(look.wCursorId));
    windowClass.lpszClassName = kURLWindowClass;
    if (RegisterClassW(&windowClass)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace installer
