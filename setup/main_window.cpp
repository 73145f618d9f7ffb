#include "main_window.h"

#include "common/owners.h"
#include "installer_shared/progress_window.h"
#include "installer_shared/texts.h"
#include "resources/resource.h"
#include "wizard.h"

#include <string>

namespace {

const wchar_t kSetupWindowClass[] = L"SetupMainWindow";

CSetupState* WindowState(HWND window) {
    return reinterpret_cast<CSetupState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void FillGradient(GradientFillFn gradientFill, HDC dc, int width, int height) {
    TRIVERTEX corners[2] = {};
    corners[1].x = width;
    corners[1].y = height / 3 * 2;
    corners[1].Red = corners[1].Green = corners[1].Blue = 0xFF00;
    GRADIENT_RECT rect = {0, 1};
    gradientFill(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

// Black at the top to pure blue at the bottom, one line per pixel row.
void DrawBlueLines(HDC dc, int width, int height) {
    int step = height / 255;
    for (int y = 0; y <= height; ++y) {
        BYTE blue = static_cast<BYTE>(step ? y / step : 0);
        CGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, blue)));
        HGDIOBJ old = SelectObject(dc, pen.Get());
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, width, y);
        SelectObject(dc, old);
    }
}

void PaintText(HDC dc, int x, int y, UINT textId, UINT faceId, int height, bool italic,
              COLORREF colour) {
    std::wstring face = installer::LoadText(faceId);
    CFont font(CreateFontW(height, 0, 0, 0, FW_BOLD, italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    HGDIOBJ old = SelectObject(dc, font.Get());
    SetTextColor(dc, colour);
    std::wstring text = installer::LoadText(textId);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
}

void Paint(const CSetupState& state, HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    if (state.m_pGradientFill)
        FillGradient(state.m_pGradientFill, dc, client.right, client.bottom);
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
        installer::FadeOut(dialog);
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void AddAboutItem(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUT, installer::LoadText(IDS_ABOUT_MENU).c_str());
}

// A close request asks first; "No" leaves the wizard on its page.
void AskToQuit(CSetupState& state, HWND window) {
    if (SetupMessageBox(window, installer::LoadText(IDS_QUIT_QUESTION), MB_ICONQUESTION | MB_YESNO) != IDYES) {
        ReselectCurrentPage(state);
        return;
    }
    DestroyWindow(state.m_hWizard);
    DestroyWindow(window);
}

LRESULT HandleMessage(CSetupState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        state.m_hMainWindow = window;
        if (!CreateWizard(state, window)) return -1;
        AddAboutItem(window);
        return 0;
    case WM_PAINT:
        Paint(state, window);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == IDM_ABOUT) {
            DialogBoxParamW(state.m_hInstance, MAKEINTRESOURCEW(IDD_ABOUT), window, AboutProc, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        AskToQuit(state, window);
        return 0;
    case kWizardFinishedMessage:
        installer::FadeOut(state.m_hWizard);
        DestroyWindow(state.m_hWizard);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        state.m_hMainWindow = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The state comes with WM_NCCREATE, the first message that can carry it;
// the few messages before it get the default handling.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    CSetupState* state = WindowState(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    return HandleMessage(*state, window, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SETUP));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kSetupWindowClass;
    return RegisterClassW(&windowClass) != 0;
}

bool CreateMainWindow(CSetupState& state) {
    HWND window = CreateWindowExW(
        0, kSetupWindowClass, installer::LoadText(IDS_APP_TITLE).c_str(),
        WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN, 0, 0,
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
        state.m_hInstance, &state);
    if (!window) return false;
    ShowWindow(window, SW_SHOWNA);
    return true;
}
