// The self-test module: the hook procedures that the self-test host installs
// for the whole desktop while a scan runs. They only pass every event on; a
// scan that does not record this module cannot see system-wide hooks.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK SelfTestKeyboardProc(int code, WPARAM wParam,
                                                                       LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK SelfTestGetMessageProc(int code, WPARAM wParam,
                                                                         LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
