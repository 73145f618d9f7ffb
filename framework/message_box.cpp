#include "framework/message_box.h"

#include <vector>

#include "framework/application.h"
#include "framework/string_resource.h"

namespace fw {

namespace {

std::wstring FromCodePage(const std::string& text) {
    int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], chars);
    return wide;
}

}  // namespace

int ShowMessage(const std::wstring& text, UINT type) {
    Application* app = Application::Current();
    HWND owner = app ? app->MainWindow() : nullptr;
    if (owner && !IsWindow(owner)) owner = nullptr;
    std::wstring caption = LoadResStringW(kAppTitleStringId);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int ShowMessage(const std::string& text, UINT type) { return ShowMessage(FromCodePage(text), type); }

int ShowMessage(UINT stringId, UINT type) { return ShowMessage(LoadResStringW(stringId), type); }

}  // namespace fw
