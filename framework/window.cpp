#include "framework/window.h"

namespace fw {

Window::~Window() {
    if (!Handle()) return;
    // The derived part is gone: unbind before destroying so that no message
    // reaches this half-destroyed object.
    HWND hwnd = Handle();
    Attach(nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

void Window::PrepareClass(WNDCLASSEXA&) const {}

bool Window::RegisterClassOnce() const {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(instance, ClassName(), &wc)) return true;
    wc = WNDCLASSEXA();
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = instance;
    wc.lpszClassName = ClassName();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    PrepareClass(wc);
    return RegisterClassExA(&wc) != 0;
}

bool Window::Create(HWND parent, const std::string& title, DWORD style, DWORD exStyle,
                    int x, int y, int width, int height, HMENU menuOrId) {
    if (Handle() || !RegisterClassOnce()) return false;
    HWND hwnd = CreateWindowExA(exStyle, ClassName(), title.c_str(), style, x, y, width, height,
                                parent, menuOrId, GetModuleHandleA(nullptr), this);
    return hwnd != nullptr;
}

Window* Window::FromHandle(HWND hwnd) {
    // The class's procedure, not the window's: a subclassed window of ours
    // has another window procedure but is still bound to its object.
    WNDPROC proc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    if (proc != &Window::StaticProc) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            self->Attach(hwnd);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO of top-level windows)
    // and after unbinding get the default handling.
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->Dispatch(hwnd, msg, wParam, lParam);
}

LRESULT Window::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        result = OnMessage(msg, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's code.
        result = DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        Attach(nullptr);
        try {
            OnFinalMessage();
        } catch (...) {
        }
    }
    return result;
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(Handle(), msg, wParam, lParam);
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate(*reinterpret_cast<CREATESTRUCTA*>(lParam)) ? 0 : -1;
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
