#include "framework/window.h"

namespace fw {

Window::~Window() {
    if (!Handle()) return;
    // The derived part is gone: unbind before destroying so that no message
    // reaches this half-destroyed object.
    HWND hwnd = Handle();
    Attach(nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

void Window::PrepareClass(WNDCLASSEXW&) const {}

bool Window::RegisterClassOnce() const {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, ClassName(), &wc)) return true;
    wc = WNDCLASSEXW();
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = instance;
    wc.lpszClassName = ClassName();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    PrepareClass(wc);
    return RegisterClassExW(&wc) != 0;
}

bool Window::Create(HWND parent, const std::wstring& title, DWORD style, DWORD exStyle,
                    int x, int y, int width, int height, HMENU menuOrId) {
    if (Handle() || !RegisterClassOnce()) return false;
    HWND hwnd = CreateWindowExW(exStyle, ClassName(), title.c_str(), style, x, y, width, height,
                                parent, menuOrId, GetModuleHandleW(nullptr), this);
    return hwnd != nullptr;
}

Window* Window::FromHandle(HWND hwnd) {
    // The class's procedure, not the window's: a subclassed window of ours
    // has another window procedure but is still bound to its object.
    WNDPROC proc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
    if (proc != &Window::StaticProc) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            self->Attach(hwnd);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO of top-level windows)
    // and after unbinding get the default handling.
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Dispatch(hwnd, msg, wParam, lParam);
}

LRESULT Window::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        result = OnMessage(msg, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's code.
        result = DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        Attach(nullptr);
        try {
            OnFinalMessage();
        } catch (...) {
        }
    }
    return result;
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(Handle(), msg, wParam, lParam);
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate(*reinterpret_cast<CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        bool painted = OnPaint(dc);
        EndPaint(Handle(), &ps);
        if (painted) return 0;
        break;
    }
    case WM_TIMER:
        if (OnTimer(wParam)) return 0;
        break;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        break;
    case WM_CLOSE:
        if (OnClose()) return 0;
        break;
    }
    return DefaultProc(msg, wParam, lParam);
}

}  // namespace fw
