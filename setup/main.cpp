// setup.exe: installs Veyrith from the folder that holds it.
#include "installer_shared/system_library.h"
#include "installer_shared/url_window.h"
#include "main_window.h"
#include "resources/resource.h"
#include "setup_state.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// Optional system DLLs: the gradient fill of the background, and the
// rich-edit control of the licence page.
constexpr wchar_t kGradientLibrary[] = L"msimg32.dll";
constexpr wchar_t kRichEditLibrary[] = L"riched32.dll";

// Windows 2000 and later: an NT system of version 5 or higher.
bool IsSupportedSystem() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version)) return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
}

// Every message but WM_CHAR goes to the wizard's dialog handling first.
void RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message != WM_CHAR && g_hWizard && IsWindow(g_hWizard) &&
            PropSheet_IsDialogMessage(g_hWizard, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installer::RestrictLibrarySearchToSystem();
    g_hInstance = instance;
    if (!IsSupportedSystem()) {
        SetupMessageBox(GetActiveWindow(), LoadText(IDS_UNSUPPORTED_SYSTEM), MB_ICONWARNING);
        return 0;
    }
    CLibrary gradientLibrary = installer::LoadSystemLibrary(kGradientLibrary);
    CLibrary richEditLibrary = installer::LoadSystemLibrary(kRichEditLibrary);
    CoInitialize(nullptr);
    g_pGradientFill = installer::FunctionOf<GradientFillFn>(gradientLibrary.Get(), "GradientFill");
    installer::URLWindowLook look = {RGB(0, 0, 0), RGB(100, 100, 100), IDR_LINK_CURSOR};
    if (RegisterMainWindowClass() && installer::RegisterURLWindowClass(instance, look) &&
        CreateMainWindow())
        RunMessageLoop();
    g_pGradientFill = nullptr;
    CoUninitialize();
    return 0;
}
