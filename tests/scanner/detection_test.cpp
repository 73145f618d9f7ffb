// Detection end to end: the window manager asks to load the module of a
// real global hook installed by another process when a key arrives, and the
// loader hooks record the request and refuse the load.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>

#include <cwchar>

#include "hook_host.h"
#include "scanner/loader_hooks.h"
#include "common/owners.h"
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

// {6D3F1C52-8E4B-4C7A-9B21-5A0E7D9C4F13}, the fixture's class.
const CLSID kExtensionClass = {0x6d3f1c52, 0x8e4b, 0x4c7a, {0x9b, 0x21, 0x5a, 0x0e, 0x7d, 0x9c, 0x4f, 0x13}};
const wchar_t kExtensionKey[] = L"CLSID\\{6D3F1C52-8E4B-4C7A-9B21-5A0E7D9C4F13}";

// The shell extension registered in the classes root while it lives.
class RegisteredExtension {
public:
    explicit RegisteredExtension(const std::wstring& dll) {
        CRegistryKey key;
        std::wstring path = std::wstring(kExtensionKey) + L"\\InprocServer32";
        m_registered = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                       key.Receive(), nullptr) == ERROR_SUCCESS &&
                       SetText(key.Get(), nullptr, dll) && SetText(key.Get(), L"ThreadingModel", L"Apartment");
    }
    ~RegisteredExtension() { RegDeleteTreeW(HKEY_CLASSES_ROOT, kExtensionKey); }
    bool Registered() const { return m_registered; }

private:
    static bool SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
        return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    bool m_registered = false;
};

// What the dialog's hook saw when it created the extension.
struct ExtensionUse {
    HRESULT created = E_FAIL;
    bool answered = false;
};

// Creates the extension once the dialog is up, as the shell does while it
// fills its view, uses it, and closes the dialog.
UINT_PTR CALLBACK SaveAsHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    static ExtensionUse* use = nullptr;
    if (message == WM_INITDIALOG) use = reinterpret_cast<ExtensionUse*>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData);
    if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != CDN_INITDONE || !use) return 0;
    IPersist* extension = nullptr;
    use->created = CoCreateInstance(kExtensionClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist,
                                    reinterpret_cast<void**>(&extension));
    CLSID answer = {};
    if (SUCCEEDED(use->created) && SUCCEEDED(extension->GetClassID(&answer)))
        use->answered = answer == kExtensionClass;
    if (extension) extension->Release();
    PostMessageW(GetParent(dialog), WM_COMMAND, IDCANCEL, 0);
    return 0;
}

// What the user's own actions load is no concern of the scan: a Save As
// dialog that creates a shell extension gets it, working, while a
// system-wide hook's module that the dialog's messages call up is refused.
TEST_F(Detection, AShellExtensionOfASaveAsDialogLoadsAndWorksWhileHookModulesAreRefused) {
    std::string hook = StartHookedCopy("dialog_monitor.dll", "getmessage");
    std::string dll = m_folder.File("shell_extension.dll");
    ASSERT_TRUE(CopyFromBin("shell_extension.dll", dll));
    RegisteredExtension registration(Wide(dll));
    ASSERT_TRUE(registration.Registered());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));

    wchar_t file[MAX_PATH] = L"report.txt";
    ExtensionUse use;
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_window;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT;
    dialog.lpfnHook = &SaveAsHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(&use);
    GetSaveFileNameW(&dialog);

    EXPECT_EQ(S_OK, use.created) << "the extension was not created";
    EXPECT_TRUE(use.answered) << "the extension did not answer";
    EXPECT_TRUE(IsLoadedHere(dll));
    EXPECT_EQ(0, CountRecorded(Lower(dll)));
    EXPECT_EQ(1, CountRecorded(Lower(hook))) << "the dialog's messages did not call up the hook";
    EXPECT_FALSE(IsLoadedHere(hook));
    CoFreeUnusedLibraries();
    CoUninitialize();
}

}  // namespace
