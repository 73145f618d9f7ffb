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
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion >= 6;
}
