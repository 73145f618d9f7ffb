// veyrith: finds programs that watch the keyboard through system-wide hooks.
#include "shell/system_desktop.h"
#include "shell/veyrith_app.h"
#include "scanner/loader_hooks.h"

// The loader hooks install themselves during static construction of their
// unit; this reference keeps that unit in the program.
__attribute__((used)) static CHookRequests* const kHookRequests = &g_hookRequests;

// The application object and the real desktop it shows things on live in
// WinMain, so every program-wide object of static storage exists before
// start-up begins.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CSystemDesktop desktop;
    CVeyrithApp app(desktop);
    return app.Main();
}
