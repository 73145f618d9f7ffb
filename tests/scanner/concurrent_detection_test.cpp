// Detection with several threads at once: real modules loaded and freed on
// many threads while real system-wide hooks fire, a hook module that the
// window manager loads on a worker thread with its own window, hooks removed
// while threads go on loading, names recorded and copied on several threads
// at once, and the spelling of a name on a thread with a locale of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hook_host.h"
#include "scanner/loader_hooks.h"
#include "scanner/module_detection.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// A thread that has not done its part by then hangs.
constexpr DWORD kHangMs = 30000;
constexpr DWORD kPollMs = 5;
constexpr BYTE kF24 = VK_F24;

bool WaitUntil(const std::function<bool()>& condition) {
    for (DWORD waited = 0; waited < kHangMs && !condition(); waited += kPollMs) PumpMessages(kPollMs);
    return condition();
}

std::vector<std::string> Names(const std::vector<RequestedModule>& modules) {
    std::vector<std::string> names;
    for (const RequestedModule& module : modules) names.push_back(Narrow(module.name.c_str()));
    return names;
}

std::vector<std::string> Recorded() { return Names(g_hookRequests.Copy()); }

bool HasDuplicates(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return std::adjacent_find(names.begin(), names.end()) != names.end();
}

bool IsLoadedHere(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

bool IsRequested(const std::string& path) {
    std::vector<std::string> names = Names(g_hookRequests.Copy());
    return std::find(names.begin(), names.end(), Lower(path)) != names.end();
}

// A thread of the test that repeats one round until it is stopped. Stop, or
// the object's end, waits for the thread and closes its handle.
class RoundThread {
public:
    explicit RoundThread(std::function<void()> round) : m_round(std::move(round)) {
        m_thread = CreateThread(nullptr, 0, &RoundThread::Main, this, 0, nullptr);
    }
    ~RoundThread() { Stop(); }
    RoundThread(const RoundThread&) = delete;
    RoundThread& operator=(const RoundThread&) = delete;

    // True once count more rounds than now have been completed.
    bool WaitForRounds(LONG count) {
        LONG target = InterlockedCompareExchange(&m_rounds, 0, 0) + count;
        return m_thread && WaitUntil([this, target] { return InterlockedCompareExchange(&m_rounds, 0, 0) >= target; });
    }
    // Ends the thread after its current round; false when it hangs.
    bool Stop() {
        if (!m_thread) return true;
        InterlockedExchange(&m_stop, 1);
        bool ended = WaitForSingleObject(m_thread, kHangMs) == WAIT_OBJECT_0;
        CloseHandle(m_thread);
        m_thread = nullptr;
        return ended;
    }

private:
    static DWORD WINAPI Main(void* param) {
        auto* self = static_cast<RoundThread*>(param);
        while (!InterlockedCompareExchange(&self->m_stop, 0, 0)) {
            self->m_round();
            InterlockedIncrement(&self->m_rounds);
        }
        return 0;
    }

    std::function<void()> m_round;
    HANDLE m_thread = nullptr;
    LONG m_stop = 0;
    LONG m_rounds = 0;
};

// One round of a busy thread: loads every module, lets its own message queue
// hand it a message (a message hook of the desktop fires on this thread
// then), and frees the modules again. Failed loads are counted.
void LoadRound(const std::vector<std::string>& paths, LONG* failedLoads) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
    std::vector<HMODULE> loaded;
    for (const std::string& path : paths) {
        HMODULE module = LoadLibraryA(path.c_str());
        if (module) loaded.push_back(module);
        else InterlockedIncrement(failedLoads);
    }
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    for (HMODULE module : loaded) FreeLibrary(module);
}

// GetTickCount's own code, for a replacement that must work whether or not
// its hook still exists: kernelbase's export where there is one, as the
// hooks themselves call it.
void* RealTickCount() {
    HMODULE kernelbase = GetModuleHandleA("kernelbase.dll");
    FARPROC tick = kernelbase ? GetProcAddress(kernelbase, "GetTickCount") : nullptr;
    if (!tick) tick = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount");
    return reinterpret_cast<void*>(tick);
}

void* const g_realTickCount = RealTickCount();

DWORD WINAPI ForwardingTickCount() { return reinterpret_cast<DWORD(WINAPI*)()>(g_realTickCount)(); }

// Copies of the probe module loaded in turn: each round loads the next copy,
// calls through its import table, notes whether a hook had patched it, and
// frees the copy loaded two rounds before, so two are loaded at any time.
class RollingLoads {
public:
    explicit RollingLoads(std::vector<std::string> copies)
        : m_copies(std::move(copies)), m_loaded(m_copies.size(), nullptr) {}
    ~RollingLoads() { FreeAll(); }

    void Round() {
        size_t next = m_round++ % m_copies.size();
        HMODULE module = LoadLibraryA(m_copies[next].c_str());
        m_loaded[next] = module;
        if (module) CallAndNote(module);
        size_t old = (next + 2) % m_copies.size();
        if (m_loaded[old]) FreeLibrary(m_loaded[old]);
        m_loaded[old] = nullptr;
    }
    LONG PatchedLoads() const { return InterlockedCompareExchange(&m_patchedLoads, 0, 0); }
    // Only once the thread has stopped.
    std::vector<HMODULE> StillLoaded() const {
        std::vector<HMODULE> modules;
        for (HMODULE module : m_loaded) if (module) modules.push_back(module);
        return modules;
    }
    void FreeAll() {
        for (HMODULE& module : m_loaded) {
            if (module) FreeLibrary(module);
            module = nullptr;
        }
    }

private:
    void CallAndNote(HMODULE module) {
        auto tick = reinterpret_cast<DWORD(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "ProbeTickCount")));
        if (tick) tick();
        if (CountImportEntries(module, reinterpret_cast<void*>(&ForwardingTickCount)) > 0)
            InterlockedIncrement(&m_patchedLoads);
    }

    std::vector<std::string> m_copies;
    std::vector<HMODULE> m_loaded;
    size_t m_round = 0;
    mutable LONG m_patchedLoads = 0;
};

// A thread with a visible window of its own and a message loop, its window
// in the foreground. Notes whether the hook module was already loaded here
// when F24 reached the window: the keyboard hook runs, on this thread, just
// before the key is handed out.
class WindowThread {
public:
    explicit WindowThread(const std::string& hookDll) : m_hookDll(hookDll) {
        m_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_keyArrived = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &WindowThread::Main, this, 0, &m_threadId);
    }
    ~WindowThread() {
        if (m_thread) {
            PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
            WaitForSingleObject(m_thread, kHangMs);
            CloseHandle(m_thread);
        }
        if (m_ready) CloseHandle(m_ready);
        if (m_keyArrived) CloseHandle(m_keyArrived);
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    bool WaitReady() { return m_thread && WaitForSingleObject(m_ready, kHangMs) == WAIT_OBJECT_0; }
    bool WaitForKey() { return WaitForSingleObject(m_keyArrived, kHangMs) == WAIT_OBJECT_0; }
    HWND Window() const { return m_window; }
    DWORD ThreadId() const { return m_threadId; }
    // The window manager had asked for the hook module by the time the key
    // reached the window.
    bool HookLoadedAtKey() const { return m_hookLoadedAtKey; }

private:
    static DWORD WINAPI Main(void* param) {
        auto* self = static_cast<WindowThread*>(param);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the ready signal
        self->m_window = CreateWindowExA(0, RegisteredClass(), "worker", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         150, 150, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), self);
        if (self->m_window) SetForegroundWindow(self->m_window);
        SetEvent(self->m_ready);
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (self->m_window) DestroyWindow(self->m_window);
        return 0;
    }
    static const char* RegisteredClass() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &WindowThread::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VeyrithWorkerThreadWindow";
        RegisterClassA(&wc);  // already registered by an earlier thread: fine
        return wc.lpszClassName;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<WindowThread*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_KEYDOWN && wParam == kF24) {
            self->m_hookLoadedAtKey = IsRequested(self->m_hookDll);
            SetEvent(self->m_keyArrived);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    std::string m_hookDll;
    HANDLE m_ready = nullptr;
    HANDLE m_keyArrived = nullptr;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    HWND m_window = nullptr;
    bool m_hookLoadedAtKey = false;
};

class ConcurrentDetection : public ::testing::Test {
protected:
    // A copy of the sample module, hooked for the whole desktop by host.
    std::string HookedCopy(const std::string& fileName, const char* hookType, HookHost& host) {
        std::string dll = m_folder.File(fileName);
        EXPECT_TRUE(CopyFromBin("sample_hook.dll", dll));
        EXPECT_TRUE(host.Start(BinDir() + "sample_hook_host.exe",
                               "-hook " + std::string(hookType) + " -dll " + Quoted(dll)));
        return dll;
    }
    std::vector<std::string> ProbeCopies(const std::string& prefix, int count) {
        std::vector<std::string> copies;
        for (int i = 0; i < count; ++i) {
            copies.push_back(m_folder.File(prefix + std::to_string(i) + ".dll"));
            EXPECT_TRUE(CopyFromBin("probe_module.dll", copies.back()));
        }
        return copies;
    }

    TempFolder m_folder;
};

const char* const kSystemModules[] = {"msimg32.dll", "version.dll"};
constexpr int kBusyThreads = 3;

TEST_F(ConcurrentDetection, LoadsOnManyThreadsWhileHooksFireRecordEveryHookModuleOnce) {
    HookHost keyHost, messageHost, lookAlikeHost;
    std::string keyDll = HookedCopy("Busy_Keyboard_Hook.DLL", "keyboard", keyHost);
    std::string messageDll = HookedCopy("busy_message_hook.dll", "getmessage", messageHost);
    std::string lookAlikeDll = HookedCopy("busy_msctf.dll_hook.dll", "callwndproc", lookAlikeHost);
    std::vector<std::string> before = Recorded();
    TestWindow window;

    LONG failedLoads = 0;
    std::vector<std::unique_ptr<RoundThread>> busy;
    for (int t = 0; t < kBusyThreads; ++t) {
        std::vector<std::string> paths = ProbeCopies("busy_" + std::to_string(t) + "_", 2);
        paths.insert(paths.end(), std::begin(kSystemModules), std::end(kSystemModules));
        busy.emplace_back(new RoundThread([paths, &failedLoads] { LoadRound(paths, &failedLoads); }));
    }
    for (auto& thread : busy) ASSERT_TRUE(thread->WaitForRounds(1));
    for (int i = 0; i < 3; ++i) {
        ProvokeKeyboardHooks(window);
        EXPECT_FALSE(HasDuplicates(Recorded()));  // read while the others load
    }
    for (auto& thread : busy) ASSERT_TRUE(thread->WaitForRounds(2));
    for (auto& thread : busy) ASSERT_TRUE(thread->Stop());
    EXPECT_EQ(0, failedLoads);

    // Recorded and refused: none of them was mapped here.
    EXPECT_FALSE(IsLoadedHere(keyDll));
    EXPECT_FALSE(IsLoadedHere(messageDll));
    EXPECT_FALSE(IsLoadedHere(lookAlikeDll));
    // The list only grows: what this test added follows what was there.
    std::vector<std::string> after = Recorded();
    ASSERT_GE(after.size(), before.size());
    ASSERT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    std::vector<std::string> added(after.begin() + before.size(), after.end());
    std::sort(added.begin(), added.end());
    std::vector<std::string> expected = {Lower(keyDll), Lower(messageDll), Lower(lookAlikeDll)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, added);
}

TEST_F(ConcurrentDetection, HookModuleLoadedOnAWorkerThreadIsRecordedAsOnTheMainThread) {
    HookHost host;
    std::string dll = HookedCopy("Worker_Window_Hook.DLL", "keyboard", host);
    ASSERT_FALSE(IsLoadedHere(dll));

    WindowThread worker(dll);
    ASSERT_TRUE(worker.WaitReady());
    ASSERT_EQ(worker.Window(), GetForegroundWindow());
    ASSERT_NE(GetCurrentThreadId(), worker.ThreadId());
    // This thread owns no window and handles no message from here on.
    keybd_event(kF24, 0, 0, 0);
    keybd_event(kF24, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(worker.WaitForKey()) << "F24 did not reach the worker's window";

    EXPECT_TRUE(worker.HookLoadedAtKey()) << "the keyboard hook did not run on the worker thread";
    std::vector<std::string> recorded = Recorded();
    EXPECT_EQ(1, std::count(recorded.begin(), recorded.end(), Lower(dll)));
}

TEST_F(ConcurrentDetection, RemovingAHookWhileThreadsLoadPutsBackEveryEntry) {
    constexpr int kHookCycles = 30;
    CImportHook* headBefore = CImportHook::Head();
    RollingLoads first(ProbeCopies("rolling_a_", 4));
    RollingLoads second(ProbeCopies("rolling_b_", 4));
    {
        RoundThread firstLoader([&first] { first.Round(); });
        RoundThread secondLoader([&second] { second.Round(); });
        for (int i = 0; i < kHookCycles; ++i) {
            CImportHook hook("Kernel32.dll", "GetTickCount", reinterpret_cast<void*>(&ForwardingTickCount),
                             TRUE);
            LONG firstPatched = first.PatchedLoads();
            LONG secondPatched = second.PatchedLoads();
            ASSERT_TRUE(WaitUntil([&] {
                return first.PatchedLoads() > firstPatched && second.PatchedLoads() > secondPatched;
            })) << "the live hook did not fix up modules loaded on both threads";
        }  // each hook is removed while the threads go on loading
        ASSERT_TRUE(firstLoader.Stop());
        ASSERT_TRUE(secondLoader.Stop());
    }
    EXPECT_EQ(headBefore, CImportHook::Head());
    void* kernel32Tick = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount"));
    for (const RollingLoads* loads : {&first, &second}) {
        for (HMODULE module : loads->StillLoaded()) EXPECT_EQ(1, CountImportEntries(module, kernel32Tick));
    }
    EXPECT_EQ(0, Total(CountInAllModules(reinterpret_cast<void*>(&ForwardingTickCount))));
}

constexpr int kRaceNames = 200;

// Records the same names every round; only the first round of all threads
// adds anything.
void RecordRaceNames(CHookRequests& list) {
    for (int i = 0; i < kRaceNames; ++i) {
        std::wstring name = L"c:\\race\\Hook_" + std::to_wstring(i) + L".dll";
        list.Request(name.c_str());
    }
}

TEST(ConcurrentRecording, NamesRecordedOnSeveralThreadsAtOnceAreKeptOnceAndCopiedWhole) {
    CHookRequests list;
    LONG badCopies = 0;
    {
        std::vector<std::unique_ptr<RoundThread>> recorders;
        for (int t = 0; t < 4; ++t) recorders.emplace_back(new RoundThread([&list] { RecordRaceNames(list); }));
        RoundThread reader([&list, &badCopies] {
            std::vector<std::string> names = Names(list.Copy());
            if (names.size() > kRaceNames || HasDuplicates(names)) InterlockedIncrement(&badCopies);
        });
        for (auto& recorder : recorders) ASSERT_TRUE(recorder->WaitForRounds(2));
        ASSERT_TRUE(reader.WaitForRounds(1));
    }
    std::vector<RequestedModule> recorded = list.Copy();
    std::vector<std::string> names = Names(recorded);
    EXPECT_EQ(static_cast<size_t>(kRaceNames), names.size());
    EXPECT_FALSE(HasDuplicates(names));
    EXPECT_EQ(0, badCopies);
    // Every request counted: four threads, two rounds at least each.
    for (const RequestedModule& module : recorded) EXPECT_GE(module.requests, 8u);
}

// What a thread with a locale of its own records, and whether its own code
// page spells the name differently from the system's.
struct OtherLocaleRecord {
    const wchar_t* name;
    LCID locale;
    CHookRequests list;
    bool ownSpellingDiffers = false;
};

DWORD WINAPI RecordWithOwnLocale(void* param) {
    auto* record = static_cast<OtherLocaleRecord*>(param);
    SetThreadLocale(record->locale);
    char own[MAX_PATH] = {};
    char system[MAX_PATH] = {};
    WideCharToMultiByte(CP_THREAD_ACP, 0, record->name, -1, own, MAX_PATH, nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, record->name, -1, system, MAX_PATH, nullptr, nullptr);
    record->ownSpellingDiffers = strcmp(own, system) != 0;
    record->list.Request(record->name);
    return 0;
}

// A name with a letter that the system's code page has and a Cyrillic one
// lacks: a thread whose locale is Russian spells it differently with its own
// code page.
TEST(ThreadLocale, ARecordedNameIsSpelledAsOnEveryOtherThread) {
    const wchar_t kName[] = L"C:\\Caf\u00e9\\Hook.dll";
    CHookRequests here;
    ASSERT_TRUE(here.Request(kName));

    OtherLocaleRecord other{kName, MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)};
    HANDLE thread = CreateThread(nullptr, 0, &RecordWithOwnLocale, &other, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    DWORD waited = WaitForSingleObject(thread, kHangMs);
    CloseHandle(thread);
    ASSERT_EQ(WAIT_OBJECT_0, waited);

    ASSERT_TRUE(other.ownSpellingDiffers) << "the thread's code page spells the name alike; this proves nothing";
    ASSERT_EQ(1u, other.list.Copy().size());
    EXPECT_EQ(here.Copy()[0].name, other.list.Copy()[0].name);
}

}  // namespace
