// Drives the real uninstall.exe against what setup would have installed: a
// program folder under C:\ (with spaces in its name) with the product files,
// the installation values and the uninstall registration in the registry,
// setup's shortcuts in a program group in both Programs menus, and a running
// veyrith.exe from that folder. The uninstaller is started as the system's
// list of installed programs starts it: with the registered UninstallString.
#include "common/system_error.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

using namespace testing_support;

namespace {

const char kProgramFolder[] = "C:\\Veyrith Uninstall Test";
const char kProductKey[] = "Software\\Tarnwick\\Veyrith\\1.0";
const char kVeyrithKey[] = "Software\\Tarnwick\\Veyrith";
const char kTarnwickKey[] = "Software\\Tarnwick";
const char kRegistrationKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veyrith";
const char kForeignKey[] = "Software\\Tarnwick\\Veyrith\\Foreign";
const char kGroup[] = "Veyrith Uninstall Test";
const char kSentinelGroup[] = "Veyrith Uninstall Sentinel";
const char* const kProductFiles[] = {"veyrith.exe",          "veyrith.chm",           "uninstall.exe",
                                     "veyrith_configure.exe", "veyrith_selftest.exe",  "veyrith_selftest.dll",
                                     "veyrith_probe64.exe",   "veyrith_selftest64.exe", "veyrith_selftest64.dll",
                                     "veyrith_scan.exe"};
const int kStatusControl = 104, kDetailsButton = 1004, kMessageBoxText = 0xFFFF;
const int kFilesMark = 100, kShortcutsMark = 101, kRegistryMark = 102;
const UINT kCloseRequest = 0x0400;
const char kWorkFolderPattern[] = "Veyrith uninstall *";
// The shortcuts that setup makes, and the file each one opens.
const char* const kShortcuts[][2] = {
    {"Veyrith.lnk", "veyrith.exe"}, {"Veyrith Help.lnk", "veyrith.chm"}, {"Uninstall Veyrith.lnk", "uninstall.exe"}};

std::string ProgramsFolder(int csidl) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? std::string(path) + "\\" : "";
}

std::string WindowsTemp() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\temp\\";
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// The system's text for an error as a window shows it to a narrow reader.
std::string SystemText(DWORD error) {
    std::wstring wide = SystemErrorText(error);
    int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], size, nullptr, nullptr);
    return text.c_str();
}

// The work folders of the uninstaller under the Windows folder's Temp.
std::vector<std::string> WorkFolders() {
    std::vector<std::string> folders;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((WindowsTemp() + kWorkFolderPattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return folders;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(WindowsTemp() + data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return folders;
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// True when the key's only subkey is the given one (or it has none).
bool HoldsOnly(HKEY root, const char* path, const char* only) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
    bool alone = true;
    char name[256];
    for (DWORD i = 0; alone; ++i) {
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        alone = lstrcmpiA(name, only) == 0;
    }
    RegCloseKey(key);
    return alone;
}

bool MakeShortcut(const std::string& target, const std::string& linkPath) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    link->SetPath(target.c_str());
    bool saved = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (saved) {
        std::wstring wide(linkPath.begin(), linkPath.end());
        saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

// Setup's three shortcuts, opening the files in programFolder.
bool MakeGroup(const std::string& folder, const std::string& programFolder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    bool made = true;
    for (const auto& shortcut : kShortcuts)
        made = MakeShortcut(programFolder + shortcut[1], folder + "\\" + shortcut[0]) && made;
    return made;
}

// A top-level window of this process with the given class and caption that
// counts the close requests it is sent.
struct ForeignWindow {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kCloseRequest) SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + 1);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    ForeignWindow(const char* className, const char* caption) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        m_hWnd = CreateWindowExA(0, className, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~ForeignWindow() { DestroyWindow(m_hWnd); }
    // Delivers what was posted to it, then tells how many close requests came.
    LONG_PTR CloseRequests() {
        MSG message;
        while (PeekMessageA(&message, m_hWnd, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return GetWindowLongPtrA(m_hWnd, GWLP_USERDATA);
    }
    HWND m_hWnd = nullptr;
};

// A top-level window of the class and caption, of the given process (0: any).
HWND WaitForWindow(const char* className, const char* caption, DWORD processId, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        for (HWND w = FindWindowExA(nullptr, nullptr, className, caption); w;
             w = FindWindowExA(nullptr, w, className, caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (processId == 0 || owner == processId) return w;
        }
        Sleep(50);
    }
    return nullptr;
}

std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

std::string ImageOfWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (process) {
        QueryFullProcessImageNameA(process, 0, path, &size);
        CloseHandle(process);
    }
    return path;
}

// What the removal window showed before it was closed.
struct UninstallRun {
    bool bAsked = false;
    bool bWindowShown = false;
    bool bRegistrationGoneAtWindow = false;
    bool bWindowEnded = false;
    std::string strWindowImage;
    std::string strStatus;
    bool bDetailsVisible = false;
    bool bFilesMark = false, bShortcutsMark = false, bRegistryMark = false;
    std::string strReport;
};

class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        m_userPrograms = ProgramsFolder(CSIDL_PROGRAMS);
        m_commonPrograms = ProgramsFolder(CSIDL_COMMON_PROGRAMS);
        ASSERT_FALSE(m_userPrograms.empty());
        ASSERT_FALSE(m_commonPrograms.empty());
        m_workFoldersBefore = WorkFolders();
    }

    void TearDown() override {
        m_veyrith.End();
        DeleteTree(std::string(kProgramFolder) + "\\");
        for (const std::string& programs : {m_userPrograms, m_commonPrograms})
            for (const char* group : {kGroup, kSentinelGroup}) DeleteTree(programs + group + "\\");
        DeleteKeyTree(HKEY_CURRENT_USER, kForeignKey);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) DeleteKeyTree(root, kProductKey);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kRegistrationKey);
        for (const std::string& file : m_startupFiles) DeleteFileA(file.c_str());
        for (const std::string& programs : {m_userPrograms, m_commonPrograms})
            for (const auto& shortcut : kShortcuts) DeleteFileA((programs + "Startup\\" + shortcut[0]).c_str());
        // The copies that the uninstaller moved out of its work folders.
        for (const std::string& folder : m_workFolders) {
            DeleteFileA((folder + ".tmp").c_str());
            DeleteTree(folder);
        }
        CoUninitialize();
    }

    // What setup leaves behind, with the given program group name.
    void Install(const std::string& group) {
        std::string folder = std::string(kProgramFolder) + "\\";
        ASSERT_TRUE(CreateDirectoryA(kProgramFolder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        for (const char* name : kProductFiles) {
            if (!lstrcmpA(name, "veyrith.chm")) continue;
            ASSERT_TRUE(CopyFileA((BinDir() + name).c_str(), (folder + name).c_str(), FALSE)) << name;
        }
        ASSERT_TRUE(WriteTextFile(folder + "veyrith.chm", "help stand-in"));
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kProductKey, "Program Folder", kProgramFolder));
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kProductKey, "Program Group Name", group));
        ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, kProductKey, "Program Folder", kProgramFolder));
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kRegistrationKey, "DisplayName", "Veyrith"));
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kRegistrationKey, "UninstallString",
                                   Quoted(folder + "uninstall.exe")));
        ASSERT_TRUE(MakeGroup(m_userPrograms + group, folder));
        ASSERT_TRUE(MakeGroup(m_commonPrograms + group, folder));
    }

    void StartVeyrith() {
        ASSERT_TRUE(m_veyrith.Start(Quoted(std::string(kProgramFolder) + "\\veyrith.exe")));
        ASSERT_NE(WaitForWindow(nullptr, "Veyrith", m_veyrith.Id(), 20000), nullptr);
    }

    // Runs the registered UninstallString, answers the question and, after
    // Yes, reads and closes the removal window of the copy.
    UninstallRun RunUninstall(bool yes, const std::string& picture = std::string()) {
        UninstallRun run;
        ChildProcess phaseOne;
        std::vector<unsigned char> command = ReadBinaryValue(HKEY_LOCAL_MACHINE, kRegistrationKey, "UninstallString");
        if (command.empty() || !phaseOne.Start(reinterpret_cast<const char*>(command.data()))) return run;
        HWND question = WaitForWindow("#32770", "Uninstall program", phaseOne.Id(), 20000);
        run.bAsked = question != nullptr;
        if (!question) return run;
        int answer = yes ? IDYES : IDNO;
        PostMessageA(question, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(question, answer)));
        phaseOne.Wait(30000);
        if (yes) ReadRemovalWindow(run, picture);
        return run;
    }

    void ReadRemovalWindow(UninstallRun& run, const std::string& picture) {
        HWND window = WaitForWindow("#32770", "Uninstall", 0, 20000);
        run.bWindowShown = window != nullptr;
        if (!window) return;
        run.bRegistrationGoneAtWindow = !KeyExists(HKEY_LOCAL_MACHINE, kRegistrationKey);
        run.strWindowImage = ImageOfWindow(window);
        m_workFolders.push_back(FolderOf(run.strWindowImage));
        for (int waited = 0; waited < 20000 && !IsWindowEnabled(GetDlgItem(window, IDOK)); waited += 50) Sleep(50);
        run.strStatus = ControlText(window, kStatusControl);
        run.bDetailsVisible = IsWindowVisible(GetDlgItem(window, kDetailsButton)) != FALSE;
        run.bFilesMark = IsWindowVisible(GetDlgItem(window, kFilesMark)) != FALSE;
        run.bShortcutsMark = IsWindowVisible(GetDlgItem(window, kShortcutsMark)) != FALSE;
        run.bRegistryMark = IsWindowVisible(GetDlgItem(window, kRegistryMark)) != FALSE;
        if (!picture.empty()) SaveWindowPicture(window, picture);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (run.bDetailsVisible) run.strReport = ReadReport(window, processId);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        run.bWindowEnded = process && WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
        if (process) CloseHandle(process);
    }

    static std::string ReadReport(HWND window, DWORD processId) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(kDetailsButton, BN_CLICKED), 0);
        HWND box = WaitForWindow("#32770", "Uninstall report", processId, 20000);
        if (!box) return "(no report box)";
        std::string text = ControlText(box, kMessageBoxText);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        for (int waited = 0; waited < 20000 && IsWindow(box); waited += 50) Sleep(50);
        return text;
    }

    void ExpectProductFilesGone() {
        for (const char* name : kProductFiles)
            EXPECT_FALSE(FileExists(std::string(kProgramFolder) + "\\" + name)) << name;
    }

    void ExpectGroupsGone() {
        EXPECT_FALSE(FileExists(m_userPrograms + kGroup));
        EXPECT_FALSE(FileExists(m_commonPrograms + kGroup));
    }

    std::string m_userPrograms, m_commonPrograms;
    std::vector<std::string> m_workFolders;
    std::vector<std::string> m_workFoldersBefore;
    // Files a test puts into a Startup folder, which TearDown deletes.
    std::vector<std::string> m_startupFiles;
    ChildProcess m_veyrith;
};

TEST_F(UninstallTest, NoLeavesEverythingAsItWas) {
    Install(kGroup);
    UninstallRun run = RunUninstall(false);
    ASSERT_TRUE(run.bAsked);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kRegistrationKey));
    EXPECT_TRUE(FileExists(std::string(kProgramFolder) + "\\uninstall.exe"));
    EXPECT_TRUE(FileExists(m_commonPrograms + kGroup + "\\Veyrith.lnk"));
    EXPECT_EQ(FindWindowA("#32770", "Uninstall"), nullptr);
    EXPECT_EQ(WorkFolders(), m_workFoldersBefore);
}

TEST_F(UninstallTest, ClosesOnlyVeyrithAndRemovesFilesGroupsAndKeys) {
    Install(kGroup);
    bool userTarnwickOurs = HoldsOnly(HKEY_CURRENT_USER, kTarnwickKey, "Veyrith");
    bool machineTarnwickOurs = HoldsOnly(HKEY_LOCAL_MACHINE, kTarnwickKey, "Veyrith");
    StartVeyrith();
    // Other windows captioned "Veyrith", made after the scanner's and so
    // above it: a message box, an Explorer window on the program folder, and
    // a window of this program with the scanner's very class.
    HWND box = CreateWindowExA(0, "#32770", "Veyrith", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(box, nullptr);
    ForeignWindow explorer("CabinetWClass", "Veyrith");
    ForeignWindow namesake("VeyrithMainFrame", "Veyrith");
    ASSERT_NE(explorer.m_hWnd, nullptr);
    ASSERT_NE(namesake.m_hWnd, nullptr);
    UninstallRun run = RunUninstall(true, BinDir() + "..\\uninstall-window.bmp");
    DestroyWindow(box);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_TRUE(m_veyrith.Wait(10000)) << "the running program did not close";
    EXPECT_EQ(explorer.CloseRequests(), 0);
    EXPECT_EQ(namesake.CloseRequests(), 0);
    EXPECT_TRUE(run.bRegistrationGoneAtWindow);

    // The removal ran from a work folder of its own under the Windows
    // folder's Temp (none was there before), which is gone once the window
    // is closed. Its access rules are read back in UninstallRules: this Wine
    // keeps no access list of a file on disk.
    std::string workFolder = FolderOf(run.strWindowImage);
    EXPECT_EQ(lstrcmpiA(FolderOf(workFolder).c_str(), FolderOf(WindowsTemp()).c_str()), 0) << workFolder;
    EXPECT_EQ(run.strWindowImage, workFolder + "\\uninst.tmp");
    EXPECT_TRUE(run.bWindowEnded);
    EXPECT_FALSE(FileExists(workFolder));
    EXPECT_EQ(WorkFolders(), m_workFoldersBefore);

    EXPECT_EQ(run.strStatus, "Uninstall complete.");
    EXPECT_FALSE(run.bDetailsVisible);
    EXPECT_TRUE(run.bFilesMark && run.bShortcutsMark && run.bRegistryMark);
    ExpectProductFilesGone();
    EXPECT_FALSE(FileExists(kProgramFolder));
    ExpectGroupsGone();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) EXPECT_FALSE(KeyExists(root, kVeyrithKey));
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kTarnwickKey), !userTarnwickOurs);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, kTarnwickKey), !machineTarnwickOurs);
}

TEST_F(UninstallTest, QuarantineFolderAndForeignKeyStay) {
    Install(kGroup);
    std::string quarantine = std::string(kProgramFolder) + "\\Quarantined";
    ASSERT_TRUE(CreateDirectoryA(quarantine.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(quarantine + "\\index.dat", "index"));
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, kForeignKey, "Kept", "yes"));
    ASSERT_TRUE(DeleteFileA((std::string(kProgramFolder) + "\\veyrith.chm").c_str()));
    UninstallRun run = RunUninstall(true);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_EQ(run.strStatus, "Press \"Details\" to view report.");
    EXPECT_TRUE(run.bDetailsVisible);
    EXPECT_EQ(run.strReport,
              "Error deleting file: C:\\Veyrith Uninstall Test\\veyrith.chm (" + SystemText(ERROR_FILE_NOT_FOUND) +
                  ")\r\n"
                  "Can't remove program directory, it's not empty (" +
                  SystemText(ERROR_DIR_NOT_EMPTY) + ")\r\n");
    EXPECT_FALSE(run.bFilesMark);
    EXPECT_TRUE(run.bShortcutsMark);
    EXPECT_TRUE(run.bRegistryMark);
    ExpectProductFilesGone();
    EXPECT_TRUE(FileExists(quarantine + "\\index.dat"));
    ExpectGroupsGone();
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kForeignKey, "Kept"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kVeyrithKey));
}

TEST_F(UninstallTest, MissingInstallationValuesAreReported) {
    Install(kGroup);
    ASSERT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey));
    UninstallRun run = RunUninstall(true);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_TRUE(run.bDetailsVisible);
    EXPECT_EQ(run.strReport,
              "Error: can't get program folder location from registry.\r\n"
              "Error: can't get program group location from registry\r\n");
    EXPECT_TRUE(FileExists(std::string(kProgramFolder) + "\\veyrith.exe"));
    EXPECT_TRUE(FileExists(m_userPrograms + kGroup + "\\Veyrith.lnk"));

    // An empty folder counts as missing: it would name the drive's root.
    // Without it no shortcut can be told to be setup's: they all stay.
    Install(kGroup);
    ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kProductKey, "Program Folder", ""));
    run = RunUninstall(true);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_EQ(run.strReport, "Error: can't get program folder location from registry.\r\n");
    EXPECT_TRUE(FileExists(std::string(kProgramFolder) + "\\veyrith.exe"));
    EXPECT_TRUE(FileExists(m_commonPrograms + kGroup + "\\Veyrith.lnk"));
    EXPECT_FALSE(run.bFilesMark || run.bShortcutsMark);
    EXPECT_TRUE(run.bRegistryMark);
}

TEST_F(UninstallTest, HostileGroupNameNeverRemovesAProgramsFolder) {
    for (const char* name : {"", "..", "x\\..\\..", "..."}) {
        SCOPED_TRACE(std::string("group name: ") + name);
        Install(kGroup);
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kProductKey, "Program Group Name", name));
        ASSERT_TRUE(MakeGroup(m_userPrograms + kSentinelGroup, std::string(kProgramFolder) + "\\"));
        ASSERT_TRUE(MakeGroup(m_commonPrograms + kSentinelGroup, std::string(kProgramFolder) + "\\"));
        UninstallRun run = RunUninstall(true);
        ASSERT_TRUE(run.bWindowShown);
        EXPECT_TRUE(FileExists(m_userPrograms + kSentinelGroup + "\\Veyrith.lnk"));
        EXPECT_TRUE(FileExists(m_commonPrograms + kSentinelGroup + "\\Veyrith.lnk"));
        EXPECT_TRUE(FileExists(m_commonPrograms + kGroup + "\\Veyrith.lnk"));
        EXPECT_EQ(run.strReport,
                  std::string("Program group not removed, its name is not a plain folder name: ") + name + "\r\n");
        ExpectProductFilesGone();
    }
}

// A program group named "Startup" is the Startup folder of each Programs
// menu, which other programs use too.
TEST_F(UninstallTest, GroupNamedStartupLosesOnlySetupsShortcuts) {
    Install("Startup");
    std::string userStartup = m_userPrograms + "Startup\\";
    std::string commonStartup = m_commonPrograms + "Startup\\";
    std::string folder = std::string(kProgramFolder) + "\\";
    m_startupFiles = {userStartup + "Other Program.lnk", userStartup + "Veyrith Help.lnk"};
    ASSERT_TRUE(MakeShortcut("C:\\Other\\other.exe", userStartup + "Other Program.lnk"));
    // Named as one of setup's, but opening another program's file.
    ASSERT_TRUE(MakeShortcut("C:\\Other\\veyrith.chm", userStartup + "Veyrith Help.lnk"));
    UninstallRun run = RunUninstall(true);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_EQ(run.strStatus, "Uninstall complete.") << run.strReport;
    EXPECT_TRUE(run.bShortcutsMark);
    EXPECT_TRUE(FileExists(userStartup + "Other Program.lnk"));
    EXPECT_TRUE(FileExists(userStartup + "Veyrith Help.lnk"));
    for (const std::string& startup : {userStartup, commonStartup}) {
        EXPECT_FALSE(FileExists(startup + "Veyrith.lnk"));
        EXPECT_FALSE(FileExists(startup + "Uninstall Veyrith.lnk"));
    }
    // The all-users Startup folder is empty now, and stays.
    EXPECT_TRUE(FileExists(commonStartup));
    ExpectProductFilesGone();
}

// A veyrith.exe of the program folder that no window speaks for and that
// never ends: the removal deletes none of its files under it.
TEST_F(UninstallTest, ScannerThatDoesNotEndKeepsItsFilesAndTheStepShowsFailed) {
    Install(kGroup);
    std::string scanner = std::string(kProgramFolder) + "\\veyrith.exe";
    ASSERT_TRUE(CopyFileA((BinDir() + "idle_process.exe").c_str(), scanner.c_str(), FALSE));
    ASSERT_TRUE(m_veyrith.Start(Quoted(scanner)));
    UninstallRun run = RunUninstall(true);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_TRUE(m_veyrith.Running());
    EXPECT_EQ(run.strReport, "Error: Veyrith is still running, so its files were not deleted.\r\n");
    EXPECT_EQ(run.strStatus, "Press \"Details\" to view report.");
    EXPECT_FALSE(run.bFilesMark);
    EXPECT_TRUE(run.bShortcutsMark);
    EXPECT_TRUE(run.bRegistryMark);
    for (const char* name : kProductFiles)
        EXPECT_TRUE(FileExists(std::string(kProgramFolder) + "\\" + name)) << name;
    ExpectGroupsGone();
}

}  // namespace
