#include "scanner/provocation.h"

#include "scanner/hook_requests.h"

namespace {

const wchar_t kWindowClass[] = L"VeyrithProvocation";
// The message of the posted and sent stages.
constexpr UINT kStageMessage = WM_APP + 0x31;
constexpr UINT_PTR kIdleTimerId = 1;
constexpr UINT kIdleMs = 30;
// Left of and above every screen, so the windows of one pixel are never seen.
constexpr int kOffScreen = -32;

bool RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateOffScreenWindow(HINSTANCE instance, DWORD exStyle, void* param) {
    return CreateWindowExW(exStyle, kWindowClass, L"", WS_POPUP, kOffScreen, kOffScreen, 1, 1, nullptr,
                           nullptr, instance, param);
}

// A dialog of no controls that is never shown; it ends itself with the
// first message its modal loop takes.
struct EmptyDialogTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return FALSE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// Notes the stage for the window manager's requests on this thread while
// the object lives.
class CStageMark {
public:
    explicit CStageMark(int stage) { g_hookRequests.SetStage(stage); }
    ~CStageMark() { g_hookRequests.SetStage(-1); }
    CStageMark(const CStageMark&) = delete;
    CStageMark& operator=(const CStageMark&) = delete;
};

}  // namespace

CProvocation::CProvocation(HINSTANCE instance, HWND returnTo) : m_hInstance(instance), m_hReturnTo(returnTo) {
    if (!RegisterWindowClass(instance, &CProvocation::WindowProc)) return;
    m_hWnd = CreateOffScreenWindow(instance, WS_EX_TOOLWINDOW, this);
    if (m_hWnd) ShowWindow(m_hWnd, SW_SHOWNA);
}

CProvocation::~CProvocation() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CProvocation::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CProvocation*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->m_nAwaited == msg && (msg != WM_KEYUP || wParam == kProvokingKey)) self->m_bArrived = true;
    if (msg == kStageMessage || msg == WM_KEYDOWN || msg == WM_KEYUP) return 0;
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

StageSet CProvocation::RunStages(StageSet stages) {
    StageSet notRun = 0;
    for (int stage = 0; stage < kStageCount; ++stage) {
        if ((stages & StageBit(stage)) && !RunStage(stage)) notRun |= StageBit(stage);
    }
    return notRun;
}

bool CProvocation::RunStage(int stage) {
    if (!m_hWnd || stage < 0 || stage >= kStageCount) return false;
    // Taking the foreground and the focus activates the window, which only
    // window hooks see: it comes before the stage's mark, so that a window
    // hook is never told as one that reads keystrokes.
    bool ran = Prepare(stage);
    if (ran) {
        CStageMark mark(stage);
        ran = Stimulate(stage);
    }
    if (m_hReturnTo && GetForegroundWindow() != m_hReturnTo) SetForegroundWindow(m_hReturnTo);
    return ran;
}

bool CProvocation::Prepare(int stage) {
    if (stage != STAGE_MOUSE && stage != STAGE_KEYBOARD && stage != STAGE_IDLE) return true;
    if (!TakeForeground()) return false;
    if (stage == STAGE_KEYBOARD) SetFocus(m_hWnd);
    // The activation's messages are taken here, outside the stage.
    MSG msg;
    while (PeekMessageW(&msg, m_hWnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return true;
}

bool CProvocation::Stimulate(int stage) {
    switch (stage) {
    case STAGE_POSTED_MESSAGE: return PostedMessage();
    case STAGE_SENT_MESSAGE: return SentMessage();
    case STAGE_WINDOW: return OwnWindow();
    case STAGE_MOUSE: return MouseInput();
    case STAGE_KEYBOARD: return KeyboardInput();
    case STAGE_MODAL_LOOP: return ModalLoop();
    case STAGE_IDLE: return Idle();
    }
    return false;
}

bool CProvocation::AwaitArrival(HWND window, DWORD timeoutMs) {
    DWORD started = GetTickCount();
    while (!m_bArrived && GetTickCount() - started < timeoutMs) {
        MSG msg;
        if (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        // Other windows' messages stay queued for the thread's own loop, so
        // waiting for new input would not return at once: a short sleep.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    m_nAwaited = 0;
    return m_bArrived;
}

bool CProvocation::PostedMessage() {
    m_bArrived = false;
    m_nAwaited = kStageMessage;
    if (!PostMessageW(m_hWnd, kStageMessage, 0, 0)) return false;
    return AwaitArrival(m_hWnd, kStageTimeoutMs);
}

bool CProvocation::SentMessage() {
    m_bArrived = false;
    m_nAwaited = kStageMessage;
    SendMessageW(m_hWnd, kStageMessage, 0, 0);
    m_nAwaited = 0;
    return m_bArrived;
}

// An unowned top-level window, so that window-creation and shell hooks see
// it; it is activated and goes again at once.
bool CProvocation::OwnWindow() {
    HWND window = CreateOffScreenWindow(m_hInstance, 0, nullptr);
    if (!window) return false;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    m_bArrived = false;
    AwaitArrival(window, kIdleMs);
    DestroyWindow(window);
    return true;
}

bool CProvocation::TakeForeground() {
    SetForegroundWindow(m_hWnd);
    return GetForegroundWindow() == m_hWnd;
}

// The window captures the mouse, so the moves go to it wherever the
// pointer is: one pixel and back (a move of nothing is no input on every
// system).
bool CProvocation::MouseInput() {
    SetCapture(m_hWnd);
    m_bArrived = false;
    m_nAwaited = WM_MOUSEMOVE;
    mouse_event(MOUSEEVENTF_MOVE, 1, 0, 0, 0);
    mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(-1), 0, 0, 0);
    bool arrived = AwaitArrival(m_hWnd, kStageTimeoutMs);
    ReleaseCapture();
    return arrived;
}

bool CProvocation::KeyboardInput() {
    m_bArrived = false;
    m_nAwaited = WM_KEYUP;
    keybd_event(kProvokingKey, 0, 0, 0);
    keybd_event(kProvokingKey, 0, KEYEVENTF_KEYUP, 0);
    return AwaitArrival(m_hWnd, kStageTimeoutMs);
}

bool CProvocation::ModalLoop() {
    EmptyDialogTemplate dialog = {};
    dialog.dialog.style = WS_POPUP;
    return DialogBoxIndirectParamW(m_hInstance, &dialog.dialog, m_hWnd, EmptyDialogProc, 0) == IDCANCEL;
}

// The thread waits for a message of its own while it has the foreground:
// the window manager calls the foreground-idle hooks as it goes idle.
bool CProvocation::Idle() {
    m_bArrived = false;
    m_nAwaited = WM_TIMER;
    if (!SetTimer(m_hWnd, kIdleTimerId, kIdleMs, nullptr)) return false;
    MSG msg;
    BOOL got = GetMessageW(&msg, m_hWnd, WM_TIMER, WM_TIMER);
    KillTimer(m_hWnd, kIdleTimerId);
    // The end of the thread's loop is not ours to take.
    if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
    return got > 0;
}
