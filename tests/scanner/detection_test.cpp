// Detection end to end: the window manager asks to load the module of a
// real global hook installed by another process when a key arrives, and the
// loader hooks record the request and refuse the load.
#include <gtest/gtest.h>

#include <cwchar>

#include "hook_host.h"
#include "scanner/loader_hooks.h"
#include "test_support.h"

using namespace testing_support;

namespace {

int CountRecorded(const std::string& name) {
    int count = 0;
    for (const RequestedModule& module : g_hookRequests.Copy()) {
        if (Wide(name) == module.name) ++count;
    }
    return count;
}

bool IsLoadedHere(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

class Detection : public ::testing::Test {
protected:
    // A copy of the sample module under a name in mixed case, hooked
    // globally by a host of the given hook type.
    std::string StartHookedCopy(const std::string& fileName, const char* hookType) {
        std::string dll = m_folder.File(fileName);
        EXPECT_TRUE(CopyFromBin("sample_hook.dll", dll));
        EXPECT_TRUE(m_host.Start(BinDir() + "sample_hook_host.exe",
                                 "-hook " + std::string(hookType) + " -dll " + Quoted(dll)));
        return dll;
    }

    TempFolder m_folder;
    HookHost m_host;
    TestWindow m_window;
};

TEST_F(Detection, KeyboardHookModuleIsRecordedOnceInLowerCase) {
    std::string dll = StartHookedCopy("Keyboard_Monitor.DLL", "keyboard");
    unsigned long refusedBefore = g_hookRequests.RefusedCount();
    ProvokeKeyboardHooks(m_window);

    ASSERT_EQ(1, CountRecorded(Lower(dll))) << "the window manager did not ask for the hook module";
    EXPECT_EQ(0, CountRecorded(dll));
    EXPECT_FALSE(IsLoadedHere(dll)) << "the hook module was not refused";

    // Asked for again at the next key, refused again, recorded once.
    unsigned long refusedOnce = g_hookRequests.RefusedCount();
    EXPECT_GT(refusedOnce, refusedBefore);
    ProvokeKeyboardHooks(m_window);
    EXPECT_EQ(1, CountRecorded(Lower(dll)));
    EXPECT_GT(g_hookRequests.RefusedCount(), refusedOnce);
    EXPECT_FALSE(IsLoadedHere(dll));
    EXPECT_TRUE(m_host.Stop());
}

TEST_F(Detection, GetMessageHookModuleIsRecorded) {
    std::string dll = StartHookedCopy("message_monitor.dll", "getmessage");
    ProvokeKeyboardHooks(m_window);
    PostMessageA(m_window, WM_NULL, 0, 0);
    PumpMessages(100);

    EXPECT_EQ(1, CountRecorded(Lower(dll)));
    EXPECT_FALSE(IsLoadedHere(dll));
}

// A hook module whose name merely contains a left-out system module's name
// is a finding like any other.
TEST_F(Detection, LookAlikesOfLeftOutModulesAreRecorded) {
    std::string dll = StartHookedCopy("my_msctf.dll_hook.dll", "keyboard");
    ProvokeKeyboardHooks(m_window);

    EXPECT_EQ(1, CountRecorded(Lower(dll)));
    EXPECT_FALSE(IsLoadedHere(dll));
}

TEST_F(Detection, ModulesLoadedByOtherCodeAreNotRecorded) {
    std::string own = m_folder.File("own_load.dll");
    std::string probe = m_folder.File("probe_copy.dll");
    ASSERT_TRUE(CopyFromBin("sample_hook.dll", own));
    ASSERT_TRUE(CopyFromBin("probe_module.dll", probe));

    std::wstring ownW(own.begin(), own.end());
    HMODULE loaded = LoadLibraryExW(ownW.c_str(), nullptr, 0);
    ASSERT_NE(nullptr, loaded);

    // The probe module's calls pass through its patched import table, so
    // this load reaches the replacement from code outside user32.dll.
    HMODULE probeModule = LoadLibraryA(probe.c_str());
    ASSERT_NE(nullptr, probeModule);
    auto load = reinterpret_cast<HMODULE(WINAPI*)(LPCWSTR, DWORD)>(
        reinterpret_cast<void*>(GetProcAddress(probeModule, "ProbeLoadLibraryExW")));
    ASSERT_NE(nullptr, load);
    std::string viaProbe = m_folder.File("via_probe.dll");
    ASSERT_TRUE(CopyFromBin("sample_hook.dll", viaProbe));
    std::wstring viaProbeW(viaProbe.begin(), viaProbe.end());
    HMODULE second = load(viaProbeW.c_str(), 0);
    ASSERT_NE(nullptr, second);

    EXPECT_EQ(0, CountRecorded(Lower(own)));
    EXPECT_EQ(0, CountRecorded(Lower(viaProbe)));
    FreeLibrary(second);
    FreeLibrary(probeModule);
    FreeLibrary(loaded);
}

}  // namespace
