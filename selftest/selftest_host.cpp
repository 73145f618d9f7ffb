// The self-test host: installs the self-test module's keyboard and
// get-message hooks for every thread of the desktop and keeps them until it
// is told to end (WM_QUIT posted to its thread) or the scanner that started
// it is gone.
//   veyrith_selftest[64] -ready EVENT -parent PROCESSID
// -ready   named event set once both hooks are in place
// -parent  the scanner; the host ends when that process ends
// Exit codes: 0 normal end, 1 bad command line, 2 module, 3 hook.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/executable_folder.h"
#include "common/owners.h"
#include "common/product.h"

namespace {

#ifdef _WIN64
constexpr const wchar_t* kModuleName = kSelfTestModule64FileNameW;
#else
constexpr const wchar_t* kModuleName = kSelfTestModuleFileNameW;
#endif

struct Options {
    std::string ready;
    DWORD parent = 0;
};

bool Parse(Options& options) {
    for (int i = 1; i + 1 < __argc; i += 2) {
        if (!strcmp(__argv[i], "-ready")) options.ready = __argv[i + 1];
        else if (!strcmp(__argv[i], "-parent")) options.parent = strtoul(__argv[i + 1], nullptr, 10);
        else return false;
    }
    return (__argc % 2) == 1 && !options.ready.empty() && options.parent != 0;
}

HHOOK Install(HMODULE module, int type, const char* procName) {
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, procName)));
    return proc ? SetWindowsHookExA(type, proc, module, 0) : nullptr;
}

void SignalReady(const std::string& name) {
    CHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    if (ready) SetEvent(ready.Get());
}

// Waits for WM_QUIT or the end of the parent.
void RunUntilEnd(HANDLE parent) {
    for (;;) {
        DWORD count = parent ? 1 : 0;
        DWORD wait = MsgWaitForMultipleObjects(count, &parent, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + count) return;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Options options;
    if (!Parse(options)) return 1;
    // The thread's queue exists before anyone is told the host is ready, so
    // a WM_QUIT posted right after is never lost.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    CHandle parent(OpenProcess(SYNCHRONIZE, FALSE, options.parent));
    if (!parent) return 1;
    CLibrary module(LoadLibraryW((ExecutableFolder() + kModuleName).c_str()));
    if (!module) return 2;
    CWindowsHook keyboard(Install(module.Get(), WH_KEYBOARD, "SelfTestKeyboardProc"));
    CWindowsHook getMessage(Install(module.Get(), WH_GETMESSAGE, "SelfTestGetMessageProc"));
    int code = keyboard && getMessage ? 0 : 3;
    if (code == 0) {
        SignalReady(options.ready);
        RunUntilEnd(parent.Get());
    }
    getMessage.Reset();
    keyboard.Reset();
    return code;
}
