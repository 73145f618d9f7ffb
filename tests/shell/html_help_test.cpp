// Loading the HTML Help runtime: through the registered control's file
// (REG_EXPAND_SZ expanded), through the library name on the search path,
// and silently not at all, which is then remembered.
#include <gtest/gtest.h>

#include <windows.h>

#include "shell/html_help.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const wchar_t kTestClsidKey[] = L"CLSID\\{5E0C3A61-8B1D-4F0B-9C1E-7A2D55F0C0DE}";
const wchar_t kTestServerKey[] = L"CLSID\\{5E0C3A61-8B1D-4F0B-9C1E-7A2D55F0C0DE}\\InprocServer32";
const wchar_t kMissingLibrary[] = L"veyrith-no-such-help.ocx";

bool RegisterServer(const wchar_t* file, DWORD type) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kTestServerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExW(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(file),
                                 static_cast<DWORD>((lstrlenW(file) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// Top-level dialog windows (a message box is one) that this thread tried to
// create; each is refused, so a box would end at once instead of waiting.
int g_dialogWindows = 0;

LRESULT CALLBACK RefuseDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        bool dialog = IS_INTRESOURCE(create->lpszClass) ? LOWORD(reinterpret_cast<ULONG_PTR>(create->lpszClass)) == 0x8002
                                                        : !lstrcmpiW(create->lpszClass, L"#32770");
        if (dialog && !(create->style & WS_CHILD)) {
            ++g_dialogWindows;
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class HtmlHelpLoading : public ::testing::Test {
protected:
    void SetUp() override {
        g_dialogWindows = 0;
        m_refuse = SetWindowsHookExW(WH_CBT, &RefuseDialogs, nullptr, GetCurrentThreadId());
        ASSERT_NE(m_refuse, nullptr);
    }
    void TearDown() override {
        UnhookWindowsHookEx(m_refuse);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, kTestServerKey);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, kTestClsidKey);
    }
    HHOOK m_refuse = nullptr;
};

std::wstring FileName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    CharLowerW(&name[0]);
    return name;
}

TEST_F(HtmlHelpLoading, RegisteredFileIsLoadedWithItsVariablesExpanded) {
    ASSERT_TRUE(RegisterServer(L"%SystemRoot%\\system32\\hhctrl.ocx", REG_EXPAND_SZ));
    CHtmlHelp help(kTestServerKey, kMissingLibrary);
    EXPECT_TRUE(help.Load());
    EXPECT_EQ(FileName(help.LoadedFrom()), L"hhctrl.ocx");
    EXPECT_FALSE(help.HasFailed());
}

TEST_F(HtmlHelpLoading, LibraryNameOnTheSearchPathServesWhenNothingIsRegistered) {
    CHtmlHelp help(kTestServerKey, L"hhctrl.ocx");
    EXPECT_TRUE(help.Load());
    EXPECT_EQ(FileName(help.LoadedFrom()), L"hhctrl.ocx");
}

TEST_F(HtmlHelpLoading, UnloadableRegisteredFileFallsBackToTheName) {
    ASSERT_TRUE(RegisterServer(L"C:\\veyrith-missing\\hhctrl.ocx", REG_SZ));
    CHtmlHelp help(kTestServerKey, L"hhctrl.ocx");
    EXPECT_TRUE(help.Load());
}

TEST_F(HtmlHelpLoading, MissingRuntimeIsSilentAndTheFailureIsRemembered) {
    CHtmlHelp help(kTestServerKey, kMissingLibrary);
    EXPECT_FALSE(help.DisplayContents(L"C:\\nowhere\\veyrith.chm::/main.htm"));
    EXPECT_TRUE(help.HasFailed());
    // Registering the control afterwards changes nothing for this runtime.
    ASSERT_TRUE(RegisterServer(L"%SystemRoot%\\system32\\hhctrl.ocx", REG_EXPAND_SZ));
    EXPECT_FALSE(help.Load());
    EXPECT_FALSE(help.DisplayContents(L"C:\\nowhere\\veyrith.chm::/main.htm"));
    EXPECT_EQ(help.LoadedFrom(), L"");
    EXPECT_EQ(g_dialogWindows, 0);
}

TEST_F(HtmlHelpLoading, LibraryWithoutTheExportCountsAsMissing) {
    // The sample hook module loads but exports one function only.
    CHtmlHelp help(kTestServerKey, Wide(BinDir() + "sample_hook.dll"));
    EXPECT_FALSE(help.Load());
    EXPECT_TRUE(help.HasFailed());
    EXPECT_EQ(help.LoadedFrom(), L"");
}

BOOL CALLBACK CloseOwnWindow(HWND window, LPARAM) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

TEST_F(HtmlHelpLoading, ShippedHelpFileOpensAtItsMainTopic) {
    // The help file lies beside the programs, as the Contents command finds it.
    std::string file = BinDir() + "veyrith.chm";
    ASSERT_TRUE(FileExists(file));
    CHtmlHelp help;
    EXPECT_TRUE(help.DisplayContents(Wide(file) + L"::/main.htm"));
    EXPECT_EQ(g_dialogWindows, 0);
    // The help window belongs to this process; close what it opened.
    EnumThreadWindows(GetCurrentThreadId(), CloseOwnWindow, 0);
    PumpMessages(200);
}

}  // namespace
