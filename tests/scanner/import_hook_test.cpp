// The import hooks in this very process: which import tables they patch, what
// removing a hook puts back, when a new module is fixed up, and what the
// replacements hand back to their callers.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "hook_host.h"
#include "scanner/loader_hooks.h"
#include "test_support.h"

using namespace testing_support;

namespace {

CImportHook* const kLoaderHooks[] = {&g_hookLoadLibraryA, &g_hookLoadLibraryW, &g_hookLoadLibraryExA,
                                     &g_hookLoadLibraryExW, &g_hookGetProcAddress};

LONG g_tickCalls = 0;
CImportHook* g_tickHook = nullptr;

DWORD WINAPI CountingTickCount() {
    InterlockedIncrement(&g_tickCalls);
    return reinterpret_cast<DWORD(WINAPI*)()>(g_tickHook->CallTarget())();
}

class ImportHooks : public ::testing::Test {
protected:
    void SetUp() override {
        std::string probe = m_folder.File("probe_hooks.dll");
        ASSERT_TRUE(CopyFromBin("probe_module.dll", probe));
        // This program holds the hook code, so its own imports stay
        // unpatched. The load still passes through the replacement: kernel32's
        // LoadLibraryA is a stub that reaches kernelbase through kernel32's
        // import table, and that table is patched like every other module's.
        m_probe = LoadLibraryA(probe.c_str());
        ASSERT_NE(nullptr, m_probe);
    }
    void TearDown() override {
        if (m_probe) FreeLibrary(m_probe);
    }
    template <typename F>
    F Probe(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m_probe, name)));
    }

    TempFolder m_folder;
    HMODULE m_probe = nullptr;
};

TEST(LoaderHooks, ChainAndAddressesAreSound) {
    // Newest first: the reverse of the order of construction.
    CImportHook* hook = CImportHook::Head();
    for (int i = 4; i >= 0; --i, hook = hook->Next()) {
        ASSERT_EQ(kLoaderHooks[i], hook);
        EXPECT_NE(nullptr, hook->RealAddress()) << hook->FunctionName();
        // The code a replacement calls must never lead back to a replacement.
        EXPECT_EQ(nullptr, CImportHook::ReplacementFor(hook->Replacement()));
        EXPECT_TRUE(hook->Matches(hook->CallTarget()));
    }
    EXPECT_NE(0u, CImportHook::HighestApplicationAddress());
    EXPECT_EQ(GetModuleHandleA(nullptr), CImportHook::HookCodeModule());
}

TEST(LoaderHooks, User32LoadsThroughTheReplacementButTheHookModuleIsLeftAlone) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    ASSERT_NE(nullptr, user32);
    EXPECT_GE(CountImportEntries(user32, g_hookLoadLibraryExW.Replacement()), 1);
    EXPECT_EQ(0, CountImportEntries(user32, g_hookLoadLibraryExW.RealAddress()));
    if (g_hookLoadLibraryExW.AliasAddress()) {
        EXPECT_EQ(0, CountImportEntries(user32, g_hookLoadLibraryExW.AliasAddress()));
    }
    for (CImportHook* hook : kLoaderHooks) {
        EXPECT_EQ(0, CountImportEntries(GetModuleHandleA(nullptr), hook->Replacement()))
            << hook->FunctionName();
    }
}

TEST_F(ImportHooks, RemovingAHookPutsBackEveryEntry) {
    auto tick = Probe<DWORD(WINAPI*)()>("ProbeTickCount");
    ASSERT_NE(nullptr, tick);
    CImportHook* headBefore = CImportHook::Head();
    void* kernel32Tick = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount"));
    std::map<HMODULE, int> realBefore = CountInAllModules(kernel32Tick);
    ASSERT_GE(realBefore[m_probe], 1);
    {
        CImportHook hook("Kernel32.dll", "GetTickCount", reinterpret_cast<void*>(&CountingTickCount), TRUE);
        g_tickHook = &hook;
        EXPECT_EQ(&hook, CImportHook::Head());
        EXPECT_EQ(0, CountImportEntries(m_probe, kernel32Tick));
        EXPECT_EQ(realBefore[m_probe], CountImportEntries(m_probe, hook.Replacement()));
        EXPECT_EQ(0, CountImportEntries(GetModuleHandleA(nullptr), hook.Replacement()));
        // The walk of the address space reaches every module the system lists.
        std::map<HMODULE, int> realDuring = CountInAllModules(kernel32Tick);
        realDuring.erase(GetModuleHandleA(nullptr));
        EXPECT_EQ(0, Total(realDuring));

        LONG before = g_tickCalls;
        EXPECT_NE(0u, tick());
        EXPECT_GT(g_tickCalls, before);
    }
    g_tickHook = nullptr;
    EXPECT_EQ(headBefore, CImportHook::Head());
    EXPECT_EQ(realBefore, CountInAllModules(kernel32Tick));
    EXPECT_EQ(0, Total(CountInAllModules(reinterpret_cast<void*>(&CountingTickCount))));
    LONG before = g_tickCalls;
    tick();
    EXPECT_EQ(before, g_tickCalls);
}

TEST_F(ImportHooks, NewModuleIsFixedUpButNotForADataFileLoad) {
    // Loaded by the real function, so nothing has patched it yet.
    std::string copy = m_folder.File("unpatched.dll");
    ASSERT_TRUE(CopyFromBin("probe_module.dll", copy));
    std::wstring copyW(copy.begin(), copy.end());
    auto realLoad = reinterpret_cast<HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD)>(
        g_hookLoadLibraryExW.CallTarget());
    HMODULE module = realLoad(copyW.c_str(), nullptr, 0);
    ASSERT_NE(nullptr, module);
    void* replacement = g_hookLoadLibraryExW.Replacement();
    ASSERT_EQ(0, CountImportEntries(module, replacement));

    EXPECT_FALSE(CImportHook::FixUpNewModule(module, LOAD_LIBRARY_AS_DATAFILE));
    EXPECT_EQ(0, CountImportEntries(module, replacement));
    EXPECT_FALSE(CImportHook::FixUpNewModule(nullptr, 0));

    EXPECT_TRUE(CImportHook::FixUpNewModule(module, 0));
    EXPECT_EQ(1, CountImportEntries(module, replacement));
    EXPECT_EQ(1, CountImportEntries(module, g_hookGetProcAddress.Replacement()));
    FreeLibrary(module);
}

TEST_F(ImportHooks, AModuleFixedUpAgainHasEachSlotRememberedOnce) {
    std::string copy = m_folder.File("reloaded.dll");
    ASSERT_TRUE(CopyFromBin("probe_module.dll", copy));
    HMODULE first = LoadLibraryA(copy.c_str());
    ASSERT_NE(nullptr, first);
    int remembered = g_hookLoadLibraryExW.PatchedEntryCount();

    // Loading an already loaded module fixes it up once more.
    EXPECT_EQ(first, LoadLibraryA(copy.c_str()));
    EXPECT_EQ(remembered, g_hookLoadLibraryExW.PatchedEntryCount());
    FreeLibrary(first);
    FreeLibrary(first);
    // Unloaded and loaded again at the same place: fresh import tables at
    // the slots already remembered.
    for (int i = 0; i < 5; ++i) {
        HMODULE again = LoadLibraryA(copy.c_str());
        ASSERT_EQ(first, again) << "the module was mapped elsewhere, so this proves nothing";
        EXPECT_EQ(1, CountImportEntries(again, g_hookLoadLibraryExW.Replacement()));
        EXPECT_EQ(remembered, g_hookLoadLibraryExW.PatchedEntryCount());
        FreeLibrary(again);
    }
}

TEST_F(ImportHooks, LoadsThroughTheReplacementAreFixedUpAndKeepTheirResult) {
    auto load = Probe<HMODULE(WINAPI*)(LPCWSTR, DWORD)>("ProbeLoadLibraryExW");
    ASSERT_NE(nullptr, load);
    ASSERT_EQ(1, CountImportEntries(m_probe, g_hookLoadLibraryExW.Replacement()))
        << "a module loaded after start-up was not fixed up";

    std::string copy = m_folder.File("second_probe.dll");
    ASSERT_TRUE(CopyFromBin("probe_module.dll", copy));
    std::wstring copyW(copy.begin(), copy.end());
    HMODULE module = load(copyW.c_str(), 0);
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(1, CountImportEntries(module, g_hookLoadLibraryExW.Replacement()));
    FreeLibrary(module);

    HMODULE data = load(copyW.c_str(), LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(nullptr, data);
    if (data) FreeLibrary(data);

    SetLastError(0);
    EXPECT_EQ(nullptr, load(L"no_such_module_anywhere.dll", 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

TEST_F(ImportHooks, GetProcAddressHandsOutTheReplacement) {
    auto lookUp = Probe<FARPROC(WINAPI*)(LPCSTR, LPCSTR)>("ProbeGetProcAddress");
    ASSERT_NE(nullptr, lookUp);
    for (CImportHook* hook : kLoaderHooks) {
        EXPECT_EQ(hook->Replacement(), reinterpret_cast<void*>(lookUp("kernel32.dll", hook->FunctionName())))
            << hook->FunctionName();
        if (GetModuleHandleA("kernelbase.dll")) {
            EXPECT_EQ(hook->Replacement(),
                      reinterpret_cast<void*>(lookUp("kernelbase.dll", hook->FunctionName())))
                << hook->FunctionName();
        }
    }
    // Functions without a hook come back as they are.
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount")),
              reinterpret_cast<void*>(lookUp("kernel32.dll", "GetTickCount")));
}

}  // namespace
