// setup.exe: installs Veyrith from the folder that holds it.
#include "installer_shared/dll_search.h"
#include "installer_shared/message_loop.h"
#include "installer_shared/texts.h"
#include "installer_shared/url_window.h"
#include "main_window.h"
#include "resources/resource.h"
#include "setup_state.h"
#include "wizard.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// Optional system DLLs: the gradient fill of the background, and the
// rich-edit control of the licence page.
constexpr wchar_t kGradientLibrary[] = L"msimg32.dll";
constexpr wchar_t kRichEditLibrary[] = L"riched32.dll";

// Windows 2000 and later: an NT system of version 5 or higher.
bool IsSupportedSystem() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version)) return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installer::RestrictLibrarySearchToSystem();
    if (!IsSupportedSystem()) {
        SetupMessageBox(GetActiveWindow(), installer::LoadText(IDS_UNSUPPORTED_SYSTEM), MB_ICONWARNING);
        return 0;
    }
    CLibrary gradientLibrary = LoadSystemLibrary(kGradientLibrary);
    CLibrary richEditLibrary = LoadSystemLibrary(kRichEditLibrary);
    CoInitialize(nullptr);
    CSetupState state;
    state.m_hInstance = instance;
    state.m_pGradientFill = FunctionOf<GradientFillFn>(gradientLibrary.Get(), "GradientFill");
    installer::URLWindowLook look = {RGB(0, 0, 0), RGB(100, 100, 100), IDR_LINK_CURSOR};
    if (RegisterMainWindowClass(instance) && installer::RegisterURLWindowClass(instance, look) &&
        CreateMainWindow(state))
        installer::RunMessageLoop([&state](MSG& message) { return IsWizardMessage(state, message); });
    CoUninitialize();
    return 0;
}
