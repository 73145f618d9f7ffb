#include "setup_state.h"

#include "common/executable_folder.h"
#include "installer_shared/texts.h"
#include "resources/resource.h"

#include <prsht.h>

CSetupState* KeepDialogState(HWND dialog, LPARAM initParam) {
    SetWindowLongPtrW(dialog, DWLP_USER, initParam);
    return reinterpret_cast<CSetupState*>(initParam);
}

CSetupState* KeepPageState(HWND page, LPARAM initParam) {
    const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(initParam);
    return KeepDialogState(page, sheetPage ? sheetPage->lParam : 0);
}

CSetupState* DialogState(HWND dialog) {
    return reinterpret_cast<CSetupState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::string LoadText(UINT id) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::string text(256, '\0');
    for (;;) {
        int length = LoadStringA(instance, id, &text[0], static_cast<int>(text.size()));
        if (length < static_cast<int>(text.size()) - 1) {
            text.resize(length > 0 ? length : 0);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

int SetupMessageBox(HWND owner, const std::string& text, UINT type) {
    return MessageBoxA(owner, text.c_str(), LoadText(IDS_APP_TITLE).c_str(), type);
}

int SetupMessageBox(HWND owner, const std::wstring& text, UINT type) {
    return MessageBoxW(owner, text.c_str(), installer::LoadText(IDS_APP_TITLE).c_str(), type);
}

// The command line can be anything its starter chose; the module's own file
// name is where setup really lies.
std::wstring SourceFolder() {
    std::wstring folder = ExecutableFolder();
    if (!folder.empty()) folder.pop_back();
    return folder;
}

bool IsVistaOrLater() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwMajorVersion >= 6;
}
