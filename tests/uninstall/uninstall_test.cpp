// Drives the real uninstall.exe against what setup would have installed: a
// program folder under C:\ with the product files, the installation values
// and the uninstall registration in the registry, a program group in both
// Programs menus, and a running veyrith.exe from that folder.
#include "test_support.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

using namespace testing_support;

namespace {

const char kProgramFolder[] = "C:\\VeyrithUninstallTest";
const char kProductKey[] = "Software\\Tarnwick\\Veyrith\\1.0";
const char kVeyrithKey[] = "Software\\Tarnwick\\Veyrith";
const char kTarnwickKey[] = "Software\\Tarnwick";
const char kRegistrationKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veyrith";
const char kForeignKey[] = "Software\\Tarnwick\\Veyrith\\Foreign";
const char kGroup[] = "Veyrith Uninstall Test";
const char kSentinelGroup[] = "Veyrith Uninstall Sentinel";
const char* const kProductFiles[] = {"veyrith.exe",          "veyrith.chm",           "uninstall.exe",
                                     "veyrith_configure.exe", "veyrith_selftest.exe",  "veyrith_selftest.dll",
                                     "veyrith_probe64.exe",   "veyrith_selftest64.exe", "veyrith_selftest64.dll"};
const int kStatusControl = 104, kDetailsButton = 1004, kMessageBoxText = 0xFFFF;

std::string ProgramsFolder(int csidl) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? std::string(path) + "\\" : "";
}

std::string TempCopyPath() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "uninst.tmp";
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

bool MakeGroup(const std::string& folder, const std::string& target) {
    CreateDirectoryA(folder.c_str(), nullptr);
    return MakeShortcut(target, folder + "\\Veyrith.lnk") && MakeShortcut(target, folder + "\\Uninstall Veyrith.lnk");
}

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
    }

    void TearDown() override {
        m_veyrith.End();
        DeleteTree(std::string(kProgramFolder) + "\\");
        for (const std::string& programs : {m_userPrograms, m_commonPrograms})
            for (const char* group : {kGroup, kSentinelGroup}) DeleteTree(programs + group + "\\");
        DeleteKeyTree(HKEY_CURRENT_USER, kForeignKey);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) DeleteKeyTree(root, kProductKey);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kRegistrationKey);
        DeleteFileA(TempCopyPath().c_str());
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
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kRegistrationKey, "UninstallString", folder + "uninstall.exe"));
        ASSERT_TRUE(MakeGroup(m_userPrograms + kGroup, folder + "veyrith.exe"));
        ASSERT_TRUE(MakeGroup(m_commonPrograms + kGroup, folder + "veyrith.exe"));
    }

    void StartVeyrith() {
        ASSERT_TRUE(m_veyrith.Start(Quoted(std::string(kProgramFolder) + "\\veyrith.exe")));
        ASSERT_NE(WaitForWindow(nullptr, "Veyrith", m_veyrith.Id(), 20000), nullptr);
    }

    // Runs uninstall.exe from the program folder, answers its question and,
    // after Yes, reads and closes the removal window of the temporary copy.
    UninstallRun RunUninstall(bool yes, const std::string& picture = std::string()) {
        UninstallRun run;
        ChildProcess phaseOne;
        if (!phaseOne.Start(Quoted(std::string(kProgramFolder) + "\\uninstall.exe"))) return run;
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
        for (int waited = 0; waited < 20000 && !IsWindowEnabled(GetDlgItem(window, IDOK)); waited += 50) Sleep(50);
        run.strStatus = ControlText(window, kStatusControl);
        run.bDetailsVisible = IsWindowVisible(GetDlgItem(window, kDetailsButton)) != FALSE;
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
}

TEST_F(UninstallTest, ClosesVeyrithAndRemovesFilesGroupsAndKeys) {
    Install(kGroup);
    bool userTarnwickOurs = HoldsOnly(HKEY_CURRENT_USER, kTarnwickKey, "Veyrith");
    bool machineTarnwickOurs = HoldsOnly(HKEY_LOCAL_MACHINE, kTarnwickKey, "Veyrith");
    StartVeyrith();
    // A message box of the program carries its caption too, and lies above.
    HWND box = CreateWindowExA(0, "#32770", "Veyrith", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(box, nullptr);
    UninstallRun run = RunUninstall(true, BinDir() + "..\\uninstall-window.bmp");
    DestroyWindow(box);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_TRUE(m_veyrith.Wait(10000)) << "the running program did not close";
    EXPECT_TRUE(run.bRegistrationGoneAtWindow);
    EXPECT_EQ(lstrcmpiA(run.strWindowImage.c_str(), TempCopyPath().c_str()), 0) << run.strWindowImage;
    EXPECT_TRUE(FileExists(TempCopyPath()));
    EXPECT_EQ(run.strStatus, "Uninstall complete.");
    EXPECT_FALSE(run.bDetailsVisible);
    EXPECT_TRUE(run.bWindowEnded);
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
              "Error deleting file: C:\\VeyrithUninstallTest\\veyrith.chm\r\n"
              "Can't remove program directory, it's not empty\r\n");
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
    Install(kGroup);
    ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kProductKey, "Program Folder", ""));
    run = RunUninstall(true);
    ASSERT_TRUE(run.bWindowShown);
    EXPECT_EQ(run.strReport, "Error: can't get program folder location from registry.\r\n");
    EXPECT_TRUE(FileExists(std::string(kProgramFolder) + "\\veyrith.exe"));
    ExpectGroupsGone();
}

TEST_F(UninstallTest, HostileGroupNameNeverRemovesAProgramsFolder) {
    for (const char* name : {"", "..", "x\\..\\..", "..."}) {
        SCOPED_TRACE(std::string("group name: ") + name);
        Install(kGroup);
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, kProductKey, "Program Group Name", name));
        ASSERT_TRUE(MakeGroup(m_userPrograms + kSentinelGroup, "C:\\sentinel.exe"));
        ASSERT_TRUE(MakeGroup(m_commonPrograms + kSentinelGroup, "C:\\sentinel.exe"));
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

}  // namespace
