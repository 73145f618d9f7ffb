#include "shell/running_instance.h"

#include <string>

#include "common/executable_folder.h"
#include "common/path_identity.h"
#include "scanner/process_identity.h"
#include "common/product.h"

namespace {

constexpr DWORD kLookAgainMs = 100;

bool IsOwnWindow(HWND window, const std::wstring& ownExecutable) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId && processId != GetCurrentProcessId() &&
           IsSameProcess(processId, ownExecutable.c_str(), FILETIME());
}

bool FindOwnWindow(const std::wstring& ownExecutable) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, kMainWindowClass, nullptr));) {
        if (IsOwnWindow(window, ownExecutable)) return true;
    }
    return false;
}

}  // namespace

bool IsOwnInstanceRunning(DWORD waitMs) {
    const std::wstring ownExecutable = ExecutablePath();
    DWORD started = GetTickCount();
    for (;;) {
        if (FindOwnWindow(ownExecutable)) return true;
        if (GetTickCount() - started >= waitMs) return false;
        Sleep(kLookAgainMs);
    }
}
