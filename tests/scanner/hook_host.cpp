#include "hook_host.h"

#include <psapi.h>

#include <cstdio>

using namespace testing_support;

namespace {

std::string UniqueName(const char* kind) {
    static LONG counter = 0;
    char name[96];
    snprintf(name, sizeof(name), "veyrith-test-host-%s-%lu-%ld", kind, GetCurrentProcessId(),
             InterlockedIncrement(&counter));
    return name;
}

}  // namespace

bool HookHost::Start(const std::string& exePath, const std::string& args) {
    return Start(Wide(exePath), Wide(args));
}

bool HookHost::Start(const std::wstring& exePath, const std::wstring& args) {
    std::string readyName = UniqueName("ready");
    std::string quitName = UniqueName("quit");
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    m_quit = CreateEventA(nullptr, TRUE, FALSE, quitName.c_str());
    std::wstring line = Quoted(exePath) + L" " + args + L" -ready " + Wide(readyName) + L" -quit " + Wide(quitName);
    bool started = ready && m_quit && m_process.Start(line);
    HANDLE waits[2] = {ready, m_process.Handle()};
    bool isReady = started && WaitForMultipleObjects(2, waits, FALSE, 15000) == WAIT_OBJECT_0;
    if (ready) CloseHandle(ready);
    return isReady;
}

bool HookHost::Stop() {
    if (!m_quit) return false;
    SetEvent(m_quit);
    DWORD code = 1;
    bool ended = m_process.Handle() && m_process.Wait(10000, &code);
    CloseHandle(m_quit);
    m_quit = nullptr;
    return ended && code == 0;
}

bool CopyFromBin(const std::string& name, const std::string& dest) { return CopyFromBin(name, Wide(dest)); }

bool CopyFromBin(const std::string& name, const std::wstring& dest) {
    return CopyFileW(Wide(BinDir() + name).c_str(), dest.c_str(), FALSE) != 0;
}

std::string Lower(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

void ProvokeKeyboardHooks(HWND window) {
    SetForegroundWindow(window);
    PumpMessages(50);
    keybd_event(0x87, 0, 0, 0);
    keybd_event(0x87, 0, KEYEVENTF_KEYUP, 0);
    PumpMessages(300);
}

TestWindow::TestWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VeyrithScannerTestWindow";
    RegisterClassA(&wc);
    m_window = CreateWindowExA(0, wc.lpszClassName, "scanner test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100, 100, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
}

TestWindow::~TestWindow() {
    if (m_window) DestroyWindow(m_window);
}

int CountImportEntries(HMODULE module, const void* addr) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return 0;
    int count = 0;
    auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; desc->Name; ++desc) {
        for (auto* slot = reinterpret_cast<void**>(base + desc->FirstThunk); *slot; ++slot)
            if (*slot == addr) ++count;
    }
    return count;
}

std::map<HMODULE, int> CountInAllModules(const void* addr) {
    HMODULE modules[1024];
    DWORD needed = 0;
    EnumProcessModules(GetCurrentProcess(), modules, sizeof(modules), &needed);
    std::map<HMODULE, int> counts;
    for (DWORD i = 0; i < needed / sizeof(HMODULE); ++i) counts[modules[i]] = CountImportEntries(modules[i], addr);
    return counts;
}

int Total(const std::map<HMODULE, int>& counts) {
    int total = 0;
    for (const auto& entry : counts) total += entry.second;
    return total;
}
