#include "main_window.h"

#include "fade.h"
#include "resources/resource.h"
#include "setup_state.h"
#include "wizard.h"

#include <string>

GradientFillFn g_pGradientFill = nullptr;

namespace {

const char kMainWindowClass[] = "SetupMainWindow";

void FillGradient(HDC dc, int width, int height) {
    TRIVERTEX corners[2] = {};
    corners[1].x = width;
    corners[1].y = height / 3 * 2;
    corners[1].Red = corners[1].Green = corners[1].Blue = 0xFF00;
    GRADIENT_RECT rect = {0, 1};
    g_pGradientFill(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

// Black at the top to pure blue at the bottom, one line per pixel row.
void DrawBlueLines(HDC dc, int width, int height) {
    int step = height / 255;
    for (int y = 0; y <= height; ++y) {
        BYTE blue = static_cast<BYTE>(step ? y / step : 0);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, blue));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, width, y);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

void PaintText(HDC dc, int x, int y, UINT textId, UINT faceId, int height, bool italic,
              COLORREF colour) {
    std::string face = LoadText(faceId);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_BOLD, italic, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    std::string text = LoadText(textId);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
    DeleteObject(font);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    if (g_pGradientFill)
        FillGradient(dc, client.right, client.bottom);
    else
        DrawBlueLines(dc, client.right, client.bottom);
    SetBkMode(dc, TRANSPARENT);
    PaintText(dc, 20, 20, IDS_BANNER, IDS_BANNER_FONT, 35, true, RGB(255, 255, 255));
    PaintText(dc, 20, 60, IDS_SLOGAN, IDS_SLOGAN_FONT, 20, false, RGB(200, 200, 200));
    EndPaint(window, &paint);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        FadeOut(dialog);
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void AddAboutItem(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUT, LoadText(IDS_ABOUT_MENU).c_str());
}

// A close request asks first; "No" leaves the wizard on its page.
void AskToQuit(HWND window) {
    if (SetupMessageBox(window, LoadText(IDS_QUIT_QUESTION), MB_ICONQUESTION | MB_YESNO) != IDYES) {
        ReselectCurrentPage();
        return;
    }
    DestroyWindow(g_hWizard);
    DestroyWindow(window);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_hMainWindow = window;
        if (!CreateWizard(window)) return -1;
        AddAboutItem(window);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == IDM_ABOUT) {
            DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutProc, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        AskToQuit(window);
        return 0;
    case kWizardFinishedMessage:
        FadeOut(g_hWizard);
        DestroyWindow(g_hWizard);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        g_hMainWindow = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = g_hInstance;
    windowClass.hIcon = LoadIconA(g_hInstance, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

bool CreateMainWindow() {
    HWND window = CreateWindowExA(
        0, kMainWindowClass, LoadText(IDS_APP_TITLE).c_str(),
        WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN, 0, 0,
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
        g_hInstance, nullptr);
    if (!window) return false;
    ShowWindow(window, SW_SHOWNA);
    return true;
}
