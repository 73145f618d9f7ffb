// Runs the real setup.exe from a folder holding the shipping set and drives
// its wizard as a user would: pages, edit boxes, buttons, message boxes.
#include "test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

const int kNextButton = 0x3024;
const int kStaticText = 0xFFFF;
const char kProductKey[] = "Software\\Tarnwick\\Veyrith\\1.0";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veyrith";
const char* const kShippedFiles[] = {"veyrith.exe",          "veyrith_configure.exe", "veyrith.chm",
                                     "uninstall.exe",        "veyrith_selftest.exe",  "veyrith_selftest.dll",
                                     "veyrith_probe64.exe",  "veyrith_selftest64.exe", "veyrith_selftest64.dll",
                                     "veyrith_scan.exe"};

// Polls until the condition holds, pumping this thread's messages; false
// when it never did within 20 s.
bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        PumpMessages(100);
    }
    return false;
}

struct WindowQuery {
    DWORD processId;
    std::function<bool(HWND)> match;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* query = reinterpret_cast<WindowQuery*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[32] = "";
    GetClassNameA(window, className, sizeof(className));
    if (processId != query->processId || std::string(className) != "#32770" ||
        !IsWindowVisible(window) || !query->match(window))
        return TRUE;
    query->found = window;
    return FALSE;
}

HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& match) {
    HWND found = nullptr;
    WaitFor([&] {
        WindowQuery query = {processId, match, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
        found = query.found;
        return found != nullptr;
    });
    return found;
}

std::string TextOf(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// A message box of setup: its caption, and no wizard buttons.
HWND FindMessageBox(DWORD processId) {
    return FindDialog(processId, [](HWND w) {
        return TextOf(w) == "Setup Program" && !GetDlgItem(w, kNextButton) &&
               GetDlgItem(w, kStaticText);
    });
}

std::string ProgramsFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::string ShortcutTarget(const std::string& linkFile) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return std::string();
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = "";
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH] = L"";
        MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) link->GetPath(target, MAX_PATH, nullptr, 0);
        file->Release();
    }
    link->Release();
    return target;
}

// The file of every module that a process has loaded.
std::vector<std::string> ModulesOf(DWORD processId) {
    std::vector<std::string> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return modules;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        modules.push_back(entry.szExePath);
    CloseHandle(snapshot);
    return modules;
}

std::string SystemFolder() {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

bool EndsWithName(const std::string& path, const std::string& name) {
    return path.size() > name.size() && path[path.size() - name.size() - 1] == '\\' &&
           lstrcmpiA(path.c_str() + path.size() - name.size(), name.c_str()) == 0;
}

std::string ReadString(HKEY root, const char* key, const char* name) {
    std::vector<unsigned char> data = ReadBinaryValue(root, key, name);
    return data.empty() ? std::string() : std::string(reinterpret_cast<char*>(data.data()));
}

// One run of setup.exe from a folder of its own, and everything it may
// leave behind: the program folder, the shortcut group, the registry keys.
class SetupRun : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        m_group = "Veyrith Setup Test " + std::to_string(GetCurrentProcessId());
        m_programFolder = m_installRoot.File("Installed Veyrith");
        m_screens = BinDir() + "..\\setup-screens\\";
        CreateDirectoryA(m_screens.c_str(), nullptr);
        for (const char* file :
             {"setup.exe", "veyrith.exe", "veyrith_configure.exe", "veyrith.chm", "veyrith_selftest.exe",
              "veyrith_selftest.dll", "veyrith_probe64.exe", "veyrith_selftest64.exe", "veyrith_selftest64.dll",
              "veyrith_scan.exe"})
            ASSERT_TRUE(CopyFileA((BinDir() + file).c_str(), m_source.File(file).c_str(), FALSE));
        std::string uninstaller = FileExists(BinDir() + "uninstall.exe") ? "uninstall.exe"
                                                                          : "veyrith_configure.exe";
        ASSERT_TRUE(CopyFileA((BinDir() + uninstaller).c_str(),
                              m_source.File("uninstall.exe").c_str(), FALSE));
    }
    void TearDown() override {
        m_setup.End();
        // Setup works in its source folder; Wine lets go of it a moment
        // after the process has ended.
        WaitFor([&] { return DeleteTree(m_source.Path()) || !FileExists(m_source.Path()); });
        for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
            DeleteTree(ProgramsFolder(csidl) + "\\" + m_group);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Tarnwick\\Veyrith");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Tarnwick");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        CoUninitialize();
    }

    void Start() {
        ASSERT_TRUE(m_setup.Start(Quoted(m_source.File("setup.exe"))));
        m_sheet = FindDialog(m_setup.Id(),
                             [](HWND w) { return GetDlgItem(w, kNextButton) != nullptr; });
        ASSERT_NE(m_sheet, nullptr);
    }
    HWND Page() {
        return reinterpret_cast<HWND>(SendMessageA(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    int PageIndex() {
        WPARAM page = reinterpret_cast<WPARAM>(Page());
        return static_cast<int>(SendMessageA(m_sheet, PSM_HWNDTOINDEX, page, 0));
    }
    bool ReachPage(int index) { return WaitFor([&] { return PageIndex() == index; }); }
    // The wizard sets its buttons through posted messages: wait for the state.
    bool NextBecomes(bool enabled) {
        HWND next = GetDlgItem(m_sheet, kNextButton);
        return WaitFor([&] { return (IsWindowEnabled(next) != FALSE) == enabled; });
    }
    void Press(int button) { PostMessageA(m_sheet, PSM_PRESSBUTTON, button, 0); }
    void SetItemText(int id, const std::string& text) {
        SendMessageA(GetDlgItem(Page(), id), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::string ItemText(int id) {
        char text[4096] = "";
        SendMessageA(GetDlgItem(Page(), id), WM_GETTEXT, sizeof(text),
                     reinterpret_cast<LPARAM>(text));
        return text;
    }
    void Click(int id) { SendMessageA(GetDlgItem(Page(), id), BM_CLICK, 0, 0); }
    void Screenshot(const char* name) {
        PumpMessages(300);
        SaveWindowPicture(m_sheet, m_screens + name);
    }
    // Welcome, licence accepted, program folder, up to the group page.
    void WalkToGroupPage() {
        ASSERT_TRUE(ReachPage(0));
        Press(PSBTN_NEXT);
        ASSERT_TRUE(ReachPage(1));
        Click(1003);
        Press(PSBTN_NEXT);
        ASSERT_TRUE(ReachPage(2));
        SetItemText(101, m_programFolder);
        Press(PSBTN_NEXT);
        ASSERT_TRUE(ReachPage(3));
        SetItemText(104, m_group);
    }
    std::string Installed(const char* file) { return m_programFolder + "\\" + file; }

    TempFolder m_source;
    TempFolder m_installRoot;
    ChildProcess m_setup;
    HWND m_sheet = nullptr;
    std::string m_group, m_programFolder, m_screens;
};

TEST_F(SetupRun, InstallsFilesShortcutsAndRegistryValues) {
    Start();
    ASSERT_TRUE(ReachPage(0));
    EXPECT_TRUE(NextBecomes(true));
    Screenshot("1-welcome.bmp");
    SaveWindowPicture(GetDesktopWindow(), m_screens + "0-screen.bmp");
    HWND background = FindWindowA("SetupMainWindow", "Setup Program");
    ASSERT_NE(background, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(background, &owner);
    EXPECT_EQ(owner, m_setup.Id());
    RECT screen;
    GetWindowRect(background, &screen);
    EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.bottom - screen.top, GetSystemMetrics(SM_CYSCREEN));

    // The pointer over Cancel draws it as the default button, and off it again.
    HWND cancel = GetDlgItem(m_sheet, IDCANCEL);
    RECT r;
    GetWindowRect(cancel, &r);
    auto kind = [&] { return GetWindowLongA(cancel, GWL_STYLE) & BS_TYPEMASK; };
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(WaitFor([&] { return kind() == BS_DEFPUSHBUTTON; }));
    Screenshot("1-welcome-hover.bmp");
    SetCursorPos(screen.left + 5, screen.bottom - 5);
    EXPECT_TRUE(WaitFor([&] { return kind() == BS_PUSHBUTTON; }));

    PostMessageA(background, WM_SYSCOMMAND, 100, 0);
    HWND about = FindDialog(m_setup.Id(),
                            [](HWND w) { return TextOf(w) == "About Installation Wizard"; });
    ASSERT_NE(about, nullptr);
    SaveWindowPicture(about, m_screens + "about.bmp");
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    Press(PSBTN_NEXT);

    ASSERT_TRUE(ReachPage(1));
    EXPECT_NE(ItemText(1002).find("Tarnwick Software"), std::string::npos);
    EXPECT_TRUE(NextBecomes(false));
    Click(1003);
    EXPECT_TRUE(NextBecomes(true));
    Click(1004);
    EXPECT_TRUE(NextBecomes(false));
    Click(1003);
    Screenshot("2-license.bmp");
    Press(PSBTN_NEXT);

    ASSERT_TRUE(ReachPage(2));
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(ItemText(101), std::string(windows, 3) + "Program Files\\Veyrith");
    Screenshot("3-folder.bmp");
    SetItemText(101, "");
    EXPECT_TRUE(NextBecomes(false));
    SetItemText(101, m_programFolder);
    EXPECT_TRUE(NextBecomes(true));
    Press(PSBTN_NEXT);

    ASSERT_TRUE(ReachPage(3));
    EXPECT_EQ(ItemText(104), "Veyrith");
    SetItemText(104, m_group);
    Screenshot("4-group.bmp");
    Press(PSBTN_CANCEL);
    HWND question = FindMessageBox(m_setup.Id());
    ASSERT_NE(question, nullptr);
    EXPECT_NE(TextOf(GetDlgItem(question, kStaticText)).find("Quit anyway?"), std::string::npos);
    PostMessageA(question, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(question); }));
    EXPECT_EQ(PageIndex(), 3);
    EXPECT_EQ(ItemText(104), m_group);
    Press(PSBTN_NEXT);

    ASSERT_TRUE(ReachPage(4));
    // Wine reports Windows 7: the finish page offers nothing to start.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(Page(), 105)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(Page(), 106)));
    Screenshot("5-finish.bmp");
    Press(PSBTN_FINISH);
    DWORD exitCode = 1;
    ASSERT_TRUE(m_setup.Wait(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    for (const char* file : kShippedFiles)
        EXPECT_EQ(ReadTextFile(Installed(file)), ReadTextFile(m_source.File(file))) << file;
    std::string group = ProgramsFolder(CSIDL_PROGRAMS) + "\\" + m_group + "\\";
    EXPECT_EQ(ShortcutTarget(group + "Veyrith.lnk"), Installed("veyrith.exe"));
    EXPECT_EQ(ShortcutTarget(group + "Veyrith Help.lnk"), Installed("veyrith.chm"));
    EXPECT_EQ(ShortcutTarget(group + "Uninstall Veyrith.lnk"), Installed("uninstall.exe"));
    EXPECT_FALSE(FileExists(ProgramsFolder(CSIDL_COMMON_PROGRAMS) + "\\" + m_group));

    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductKey, "Program Folder"), m_programFolder);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductKey, "Program Group Name"), m_group);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Veyrith");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + Installed("uninstall.exe") + "\"");
}

// DLLs planted beside setup.exe under the names of the optional system DLLs
// that setup uses: setup loads the system's own, from the system folder.
TEST_F(SetupRun, OptionalSystemDllsComeFromTheSystemFolderOnly) {
    const char* const optional[] = {"msimg32.dll", "riched32.dll"};
    for (const char* name : optional)
        ASSERT_TRUE(CopyFileA((BinDir() + "probe_module.dll").c_str(), m_source.File(name).c_str(), FALSE));
    Start();
    ASSERT_TRUE(ReachPage(0));
    Press(PSBTN_NEXT);
    ASSERT_TRUE(ReachPage(1));
    std::vector<std::string> modules = ModulesOf(m_setup.Id());
    for (const char* name : optional) {
        int fromSystem = 0;
        for (const std::string& module : modules) {
            EXPECT_NE(lstrcmpiA(module.c_str(), m_source.File(name).c_str()), 0) << module;
            if (EndsWithName(module, name) && !lstrcmpiA(module.substr(0, module.size() - strlen(name) - 1).c_str(),
                                                         SystemFolder().c_str()))
                ++fromSystem;
        }
        EXPECT_EQ(fromSystem, 1) << name;
    }
}

TEST_F(SetupRun, MissingFileStopsTheCopyUntilRetryAndQuittingLeavesNoRegistration) {
    ASSERT_TRUE(DeleteFileA(m_source.File("veyrith.chm").c_str()));
    Start();
    WalkToGroupPage();
    Click(1012);
    Press(PSBTN_NEXT);

    HWND prompt = FindMessageBox(m_setup.Id());
    ASSERT_NE(prompt, nullptr);
    std::string text = TextOf(GetDlgItem(prompt, kStaticText));
    EXPECT_NE(text.find("An error occured while copying file\n" + m_source.File("veyrith.chm") +
                        " to\n" + Installed("veyrith.chm")),
              std::string::npos) << text;
    EXPECT_GT(text.size(), text.find("System error message: ") + 22) << text;
    EXPECT_TRUE(FileExists(Installed("veyrith_configure.exe")));
    EXPECT_FALSE(FileExists(Installed("uninstall.exe")));
    SaveWindowPicture(prompt, m_screens + "copy-error.bmp");

    ASSERT_TRUE(CopyFileA((BinDir() + "veyrith.chm").c_str(),
                          m_source.File("veyrith.chm").c_str(), FALSE));
    PostMessageA(prompt, WM_COMMAND, IDRETRY, 0);
    ASSERT_TRUE(ReachPage(4));
    for (const char* file : kShippedFiles) EXPECT_TRUE(FileExists(Installed(file))) << file;
    std::string group = ProgramsFolder(CSIDL_COMMON_PROGRAMS) + "\\" + m_group + "\\";
    EXPECT_EQ(ShortcutTarget(group + "Veyrith.lnk"), Installed("veyrith.exe"));

    Press(PSBTN_CANCEL);
    HWND question = FindMessageBox(m_setup.Id());
    ASSERT_NE(question, nullptr);
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(m_setup.Wait(20000));
    EXPECT_TRUE(FileExists(Installed("uninstall.exe")));
    EXPECT_TRUE(FileExists(group + "Uninstall Veyrith.lnk"));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kProductKey, "Program Folder"));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
}

}  // namespace
