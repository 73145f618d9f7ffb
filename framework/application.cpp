#include "framework/application.h"

#include "common/string_resource.h"
#include "framework/profile.h"

#include <ole2.h>

namespace fw {

namespace {
Application* g_application = nullptr;
}

Application::Application() { g_application = this; }

Application::~Application() {
    if (g_application == this) g_application = nullptr;
}

Application* Application::Current() { return g_application; }

int Application::ExitInstance() {
    if (m_oleStarted) OleUninitialize();
    m_oleStarted = false;
    return 0;
}

int Application::Main() {
    if (!InitInstance()) {
        ExitInstance();
        return 1;
    }
    int code = Run();
    int exitCode = ExitInstance();
    return exitCode ? exitCode : code;
}

std::wstring Application::Title() const { return LoadResString(kAppTitleStringId); }

int Application::AddIdleHandler(IdleHandler handler) {
    int id = m_nextIdleHandlerId++;
    m_idleHandlers.emplace_back(id, std::move(handler));
    return id;
}

void Application::RemoveIdleHandler(int handlerId) {
    for (auto it = m_idleHandlers.begin(); it != m_idleHandlers.end(); ++it) {
        if (it->first != handlerId) continue;
        m_idleHandlers.erase(it);
        return;
    }
}

void Application::SetRegistryKey(const std::wstring& company) {
    SetProgramKey(L"Software\\" + company + L"\\" + Title());
}

bool Application::EnableControlContainer() {
    if (m_oleStarted) return true;
    m_oleStarted = SUCCEEDED(OleInitialize(nullptr));
    return m_oleStarted;
}

bool Application::CausesIdle(const MSG& msg) {
    // These come often and change nothing that idle handlers show.
    return msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE &&
           msg.message != WM_PAINT && msg.message != 0x0118;
}

void Application::RunIdle() {
    // A handler may remove handlers; run a copy of the list.
    std::vector<std::pair<int, IdleHandler>> handlers = m_idleHandlers;
    for (auto& handler : handlers) handler.second();
}

bool Application::PreTranslate(MSG& msg) {
    if (PreFilter(msg)) return true;
    if (m_browserFilter && m_browserFilter(msg)) return true;
    if (m_activeModeless && IsWindow(m_activeModeless) && IsDialogMessageW(m_activeModeless, &msg))
        return true;
    if (m_accelerators && m_mainWindow &&
        (msg.hwnd == m_mainWindow || IsChild(m_mainWindow, msg.hwnd)) &&
        TranslateAcceleratorW(m_mainWindow, m_accelerators, &msg))
        return true;
    return false;
}

void Application::Process(MSG& msg) {
    if (PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int Application::Run() {
    bool idle = true;
    MSG msg;
    for (;;) {
        if (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            RunIdle();
            idle = false;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        Process(msg);
        if (CausesIdle(msg)) idle = true;
    }
}

bool Application::PumpWaiting() {
    MSG msg;
    bool idle = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the loop that owns the thread.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Process(msg);
        if (CausesIdle(msg)) idle = true;
    }
    if (idle) RunIdle();
    return true;
}

void SetActiveModelessDialog(HWND dialog, bool active) {
    Application* app = Application::Current();
    if (!app) return;
    if (active)
        app->SetActiveModeless(dialog);
    else if (app->ActiveModeless() == dialog)
        app->SetActiveModeless(nullptr);
}

}  // namespace fw
