#include "framework/message_box.h"

#include <vector>

#include "framework/application.h"
#include "common/string_resource.h"

namespace fw {

namespace {


}  // namespace

int ShowMessage(const std::wstring& text, UINT type) {
    Application* app = Application::Current();
    HWND owner = app ? app->MainWindow() : nullptr;
    if (owner && !IsWindow(owner)) owner = nullptr;
    std::wstring caption = LoadResString(kAppTitleStringId);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int ShowMessage(UINT stringId, UINT type) { return ShowMessage(LoadResString(stringId), type); }

}  // namespace fw
