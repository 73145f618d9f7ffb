#include "framework/message_box.h"

#include "framework/application.h"
#include "framework/string_resource.h"

namespace fw {

namespace {
MessageBoxHook g_hook;
}

void SetMessageBoxHook(MessageBoxHook hook) { g_hook = std::move(hook); }

int ShowMessage(const std::string& text, UINT type) {
    if (g_hook) return g_hook(text, type);
    Application* app = Application::Current();
    HWND owner = app ? app->MainWindow() : nullptr;
    if (owner && !IsWindow(owner)) owner = nullptr;
    std::string caption = LoadResString(kAppTitleStringId);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

int ShowMessage(UINT stringId, UINT type) { return ShowMessage(LoadResString(stringId), type); }

}  // namespace fw
