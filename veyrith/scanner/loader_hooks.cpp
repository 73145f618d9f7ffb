// The replacements of the loader functions. Each calls the real function,
// keeps its result and last-error value, and applies the hooks to the module
// that was just loaded, so that later loads from that module pass here too.
#include "scanner/loader_hooks.h"

#include "scanner/detection_lock.h"
#include "scanner/module_detection.h"

namespace {

typedef HMODULE(WINAPI* LoadLibraryAFn)(LPCSTR);
typedef HMODULE(WINAPI* LoadLibraryWFn)(LPCWSTR);
typedef HMODULE(WINAPI* LoadLibraryExAFn)(LPCSTR, HANDLE, DWORD);
typedef HMODULE(WINAPI* LoadLibraryExWFn)(LPCWSTR, HANDLE, DWORD);
typedef FARPROC(WINAPI* GetProcAddressFn)(HMODULE, LPCSTR);

HMODULE FixedUp(HMODULE module, DWORD flags) {
    DWORD error = GetLastError();
    CImportHook::FixUpNewModule(module, flags);
    SetLastError(error);
    return module;
}

HMODULE WINAPI HookedLoadLibraryA(LPCSTR fileName) {
    auto real = reinterpret_cast<LoadLibraryAFn>(g_hookLoadLibraryA.CallTarget());
    return FixedUp(real(fileName), 0);
}

HMODULE WINAPI HookedLoadLibraryW(LPCWSTR fileName) {
    auto real = reinterpret_cast<LoadLibraryWFn>(g_hookLoadLibraryW.CallTarget());
    return FixedUp(real(fileName), 0);
}

HMODULE WINAPI HookedLoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
    auto real = reinterpret_cast<LoadLibraryExAFn>(g_hookLoadLibraryExA.CallTarget());
    return FixedUp(real(fileName, file, flags), flags);
}

// The window manager loads the module of a system-wide hook through this
// function, from code inside user32.dll, right before it calls the hook.
// Such a load is recorded and refused: the module is never mapped, so none
// of its code runs here, and user32 skips the hook in this process.
__attribute__((noinline)) HMODULE WINAPI HookedLoadLibraryExW(LPCWSTR fileName, HANDLE file,
                                                              DWORD flags) {
    if (IsWindowManagerCaller(__builtin_return_address(0)) && g_hookRequests.Request(fileName)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto real = reinterpret_cast<LoadLibraryExWFn>(g_hookLoadLibraryExW.CallTarget());
    return FixedUp(real(fileName, file, flags), flags);
}

// A module that looks a loader function up by name gets the replacement, so
// its later calls pass here as well.
FARPROC WINAPI HookedGetProcAddress(HMODULE module, LPCSTR procName) {
    auto real = reinterpret_cast<GetProcAddressFn>(g_hookGetProcAddress.CallTarget());
    FARPROC result = real(module, procName);
    void* replacement = CImportHook::ReplacementFor(reinterpret_cast<void*>(result));
    return replacement ? reinterpret_cast<FARPROC>(replacement) : result;
}

}  // namespace

// Order matters. The record comes first, so it exists before the first hook
// can record into it and is destroyed only after the last hook is removed at
// exit. The hooks install on construction and are removed, in reverse, at exit.
CHookRequests g_hookRequests;

namespace {
// Empties the record under the detection lock once the hooks are gone, so a
// thread that was still inside a replacement at that moment never meets it
// half freed.
struct HookRequestsAtExit {
    ~HookRequestsAtExit() { g_hookRequests.Clear(); }
} g_hookRequestsAtExit;
}  // namespace

CImportHook g_hookLoadLibraryA("Kernel32.dll", "LoadLibraryA",
                               reinterpret_cast<void*>(&HookedLoadLibraryA), TRUE);
CImportHook g_hookLoadLibraryW("Kernel32.dll", "LoadLibraryW",
                               reinterpret_cast<void*>(&HookedLoadLibraryW), TRUE);
CImportHook g_hookLoadLibraryExA("Kernel32.dll", "LoadLibraryExA",
                                 reinterpret_cast<void*>(&HookedLoadLibraryExA), TRUE);
CImportHook g_hookLoadLibraryExW("Kernel32.dll", "LoadLibraryExW",
                                 reinterpret_cast<void*>(&HookedLoadLibraryExW), TRUE);
CImportHook g_hookGetProcAddress("Kernel32.dll", "GetProcAddress",
                                 reinterpret_cast<void*>(&HookedGetProcAddress), TRUE);
