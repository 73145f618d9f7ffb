// The scanner's plain building blocks: the string array, the detection
// filter, the tree's choice of modules, the folder tests and file descriptions.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "hook_host.h"
#include "scanner/file_description.h"
#include "scanner/folder_relation.h"
#include "scanner/hook_requests.h"
#include "scanner/loader_hooks.h"
#include "scanner/module_detection.h"
#include "file_facts/system_catalog.h"
#include "scanner/own_modules.h"
#include "scanner/probe64_client.h"
#include "test_support.h"

using namespace testing_support;

namespace {

TEST(SimpleStrArray, GrowsAcrossManyAppendsAndKeepsEveryString) {
    for (int growBy : {1, 7}) {
        CSimpleStrArray list(0, growBy);
        EXPECT_EQ(0, list.GetCapacity());
        for (int i = 0; i < 1000; ++i) {
            std::wstring text = L"Module-" + std::to_wstring(i) + L".DLL";
            ASSERT_TRUE(list.Add(text.c_str()));
        }
        ASSERT_EQ(1000, list.GetSize());
        EXPECT_GE(list.GetCapacity(), 1000);
        EXPECT_LT(list.GetCapacity(), 1000 + growBy);
        EXPECT_STREQ(L"Module-0.DLL", list.GetAt(0));
        EXPECT_STREQ(L"Module-999.DLL", list.GetAt(999));
        EXPECT_TRUE(list.Find(L"module-500.dll", false));
        EXPECT_FALSE(list.Find(L"module-500.dll", true));
        EXPECT_TRUE(list.Find(L"Module-500.DLL", true));
        EXPECT_FALSE(list.Find(L"Module-1000.DLL", false));
    }
}

TEST(SimpleStrArray, ClearFreesEverythingAndTheArrayCanBeReused) {
    CSimpleStrArray list(4, 2);
    EXPECT_EQ(4, list.GetCapacity());
    wchar_t text[] = L"c:\\a.dll";
    list.Add(text);
    text[3] = L'b';  // the array keeps its own copy
    EXPECT_STREQ(L"c:\\a.dll", list.GetAt(0));
    list.Clear();
    EXPECT_EQ(0, list.GetSize());
    EXPECT_EQ(0, list.GetCapacity());
    EXPECT_FALSE(list.Find(L"c:\\a.dll", false));
    list.Add(L"c:\\c.dll");
    EXPECT_EQ(1, list.GetSize());
    EXPECT_TRUE(list.Find(L"C:\\C.DLL", false));
}

// Every request is refused; a name asked for again in any letter case is
// one record that counts each request and notes each stage it came in.
TEST(HookRequests, NamesDifferingOnlyInCaseAreOneRecordWithEveryRequestAndStage) {
    CHookRequests requests;
    requests.SetStage(STAGE_KEYBOARD);
    EXPECT_TRUE(requests.Request(L"C:\\Program Files\\Spy\\HOOK.DLL"));
    requests.SetStage(STAGE_MOUSE);
    EXPECT_TRUE(requests.Request(L"c:\\program files\\spy\\hook.dll"));
    requests.SetStage(-1);
    EXPECT_TRUE(requests.Request(L"C:\\PROGRAM FILES\\SPY\\Hook.Dll"));
    // A longer or shorter name is another module.
    EXPECT_TRUE(requests.Request(L"c:\\program files\\spy\\hook.dll2"));
    EXPECT_TRUE(requests.Request(L"c:\\program files\\spy\\hook.dl"));
    std::vector<RequestedModule> copy = requests.Copy();
    ASSERT_EQ(3u, copy.size());
    EXPECT_EQ(L"c:\\program files\\spy\\hook.dll", copy[0].name);
    EXPECT_EQ(3u, copy[0].requests);
    EXPECT_EQ(StageBit(STAGE_KEYBOARD) | StageBit(STAGE_MOUSE) | kOutsideStages, copy[0].stages);
    EXPECT_EQ(5u, requests.RefusedCount());

    // A stage set on one thread is not the stage of a request on another.
    requests.SetStage(STAGE_WINDOW);
    std::thread other([&] { requests.Request(L"c:\\other\\thread.dll"); });
    other.join();
    requests.Request(L"c:\\program files\\spy\\hook.dl");
    copy = requests.Copy();
    ASSERT_EQ(4u, copy.size());
    EXPECT_EQ(kOutsideStages, copy[3].stages);
    EXPECT_EQ(kOutsideStages | StageBit(STAGE_WINDOW), copy[2].stages);

    requests.Clear();
    EXPECT_TRUE(requests.Copy().empty());
    EXPECT_EQ(0u, requests.RefusedCount());
    requests.SetStage(-1);
}

// A name is kept in UTF-16 and whole: letters beyond the code page and a
// path longer than the 259 characters of a record field are recorded as
// they are, lower-cased.
TEST(HookRequests, NamesOfAnyScriptAndLengthAreRecordedWhole) {
    CHookRequests requests;
    const std::wstring deep = L"C:\\\u0428\u041f\u0418\u041e\u041d\\" + std::wstring(300, L'\u76d1') + L"\\HOOK.DLL";
    EXPECT_TRUE(requests.Request(deep.c_str()));
    ASSERT_EQ(1u, requests.Copy().size());
    EXPECT_EQ(requests.Copy()[0].name,
              L"c:\\\u0448\u043f\u0438\u043e\u043d\\" + std::wstring(300, L'\u76d1') + L"\\hook.dll");
    // What the code page would have made of it is another name.
    const std::wstring lookalike = L"c:\\?????\\" + std::wstring(300, L'?') + L"\\hook.dll";
    EXPECT_TRUE(requests.Request(lookalike.c_str()));
    EXPECT_EQ(2u, requests.Copy().size());
}

// The system's own modules are left out only as files of the system
// folders; a file that merely carries such a name, or a name containing
// one, anywhere else is recorded like every module.
TEST(ModuleDetection, LeftOutModulesOnlyWhenTheyAreWhatTheirNamesClaim) {
    wchar_t system[MAX_PATH], windows[MAX_PATH];
    ASSERT_TRUE(GetSystemDirectoryW(system, MAX_PATH));
    ASSERT_TRUE(GetWindowsDirectoryW(windows, MAX_PATH));
    const std::wstring inSystem = std::wstring(system) + L"\\";
    CHookRequests list;
    for (const std::wstring& name : {inSystem + L"UxTheme.dll", inSystem + L"MSCTF.dll",
                                     std::wstring(windows) + L"\\IndicDll.DLL", std::wstring(L"msctf.dll")})
        EXPECT_FALSE(list.Request(name.c_str())) << std::string(name.begin(), name.end());
    EXPECT_FALSE(list.Request(nullptr));
    EXPECT_TRUE(list.Copy().empty());
    for (const std::wstring& name :
         {std::wstring(L"c:\\x\\IndicDll.DLL"), std::wstring(L"c:\\tools\\VEYRITH.EXE"),
          std::wstring(L"c:\\x\\a_msctf.dll_b.dll"), std::wstring(L"c:\\x\\msctf.dll.d\\hook.dll"),
          inSystem + L"..\\..\\spy\\msctf.dll", inSystem + L"sub\\uxtheme.dll"})
        EXPECT_TRUE(list.Request(name.c_str())) << std::string(name.begin(), name.end());
    EXPECT_TRUE(list.Request(L"c:\\windows\\system32\\user32hook.dll"));
}

// Where the system keeps catalogs, a file of the system folders passes only
// when a catalog holds it; Wine keeps none, so there the folder and the name
// decide (above). A module of ours is in no catalog on any system.
TEST(ModuleDetection, TheSystemsCatalogsVouchOnlyForTheirOwnFiles) {
    wchar_t system[MAX_PATH];
    ASSERT_TRUE(GetSystemDirectoryW(system, MAX_PATH));
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((std::wstring(system) + L"\\CatRoot\\*\\*.cat").c_str(), &found);
    EXPECT_EQ(search != INVALID_HANDLE_VALUE, SystemHasCatalogs());
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    const std::wstring ours = Wide(BinDir() + "sample_hook.dll");
    EXPECT_FALSE(IsInSystemCatalog(ours));
    EXPECT_FALSE(IsInSystemCatalog(ours)) << "the kept answer differs";
    EXPECT_FALSE(IsInSystemCatalog(L"c:\\no such folder\\msctf.dll"));
    if (SystemHasCatalogs()) EXPECT_TRUE(IsInSystemCatalog(std::wstring(system) + L"\\msctf.dll"));
}

TEST(ModuleDetection, OnlyCodeInsideUser32CountsAsTheWindowManager) {
    auto user32Code = reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetMessageA"));
    EXPECT_TRUE(IsWindowManagerCaller(user32Code));
    EXPECT_FALSE(IsWindowManagerCaller(reinterpret_cast<const void*>(&ModulePath)));
    auto kernelCode = reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "Sleep"));
    EXPECT_FALSE(IsWindowManagerCaller(kernelCode));
    EXPECT_FALSE(IsWindowManagerCaller(nullptr));
}

TEST(DetectedModules, EveryRequestedModuleInOrderButTheSelfTestsOwn) {
    CSimpleStrArray own(0, 1);
    ASSERT_TRUE(GetOwnModuleNames(own));
    EXPECT_STREQ(Wide(ModulePath(nullptr)).c_str(), own.GetAt(0));

    // The self-test's module (beside the program), even asked for first, is
    // no finding; a module of that name elsewhere is one like any other.
    // Nothing needs to be loaded: a refused module never is.
    const std::wstring selfTest = Lower(Wide(BinDir()) + L"VEYRITH_SELFTEST.DLL");
    const std::wstring lookAlike = L"c:\\app\\veyrith_selftest.dll";
    std::vector<RequestedModule> requested = {{selfTest, StageBit(STAGE_KEYBOARD), 2},
                                              {L"c:\\gone\\spy.dll", StageBit(STAGE_MOUSE), 1},
                                              {lookAlike, kOutsideStages, 1}};
    DetectedModules items = ChooseDetectedModules(requested);
    ASSERT_EQ(2u, items.modules.size());
    EXPECT_EQ(L"c:\\gone\\spy.dll", items.modules[0].name);
    EXPECT_EQ(StageBit(STAGE_MOUSE), items.modules[0].stages);
    EXPECT_EQ(lookAlike, items.modules[1].name);
    EXPECT_TRUE(items.selectFirst);

    // An image of the other width is left to the scan of that width.
    EXPECT_EQ(32, ImageBits(Wide(BinDir()) + L"sample_hook.dll"));
    EXPECT_EQ(64, ImageBits(Wide(BinDir()) + L"sample_hook64.dll"));
    EXPECT_EQ(0, ImageBits(L"c:\\gone\\spy.dll"));
    items = ChooseDetectedModules({{Lower(Wide(BinDir()) + L"sample_hook64.dll"), StageBit(STAGE_KEYBOARD), 1},
                                   {Lower(Wide(BinDir()) + L"sample_hook.dll"), StageBit(STAGE_KEYBOARD), 1}});
    ASSERT_EQ(1u, items.modules.size());
    EXPECT_EQ(Lower(Wide(BinDir()) + L"sample_hook.dll"), items.modules[0].name);

    items = ChooseDetectedModules({requested[0]});
    EXPECT_TRUE(items.modules.empty());
    EXPECT_FALSE(items.selectFirst);
}

TEST(FolderRelation, DepthCountsWholeCommonFolders) {
    const wchar_t* acmeDll = L"c:\\program files\\acme\\a.dll";
    EXPECT_EQ(3, CommonFolderDepth(acmeDll, L"c:\\program files\\acme\\bin\\b.exe"));
    EXPECT_FALSE(IsSameFolder(acmeDll, L"c:\\program files\\acme\\bin\\b.exe"));
    EXPECT_TRUE(SharesFolder(acmeDll, L"C:\\Program Files\\Acme\\bin\\b.exe"));

    EXPECT_EQ(2, CommonFolderDepth(L"c:\\windows\\system32\\a.dll", L"c:\\windows\\b.exe"));
    EXPECT_FALSE(SharesFolder(L"c:\\windows\\system32\\a.dll", L"c:\\windows\\b.exe"));

    // Whole components only: "acme" and "acme2" share nothing below c:\.
    EXPECT_EQ(1, CommonFolderDepth(L"c:\\acme\\x\\a.dll", L"c:\\acme2\\x\\b.exe"));
    EXPECT_EQ(0, CommonFolderDepth(L"c:\\a\\a.dll", L"d:\\a\\b.exe"));
    EXPECT_TRUE(IsSameFolder(L"C:\\Tools\\a.dll", L"c:\\tools\\B.EXE"));
    // Letters beyond the code page compare without regard to case too.
    EXPECT_TRUE(IsSameFolder(L"c:\\\u0428\u043f\u0438\u043e\u043d\\a.dll", L"C:\\\u0448\u041f\u0418\u041e\u041d\\b.exe"));
    EXPECT_FALSE(IsSameFolder(L"c:\\\u76d1\u89c6\\a.dll", L"c:\\\u76d1\u8996\\b.exe"));
}

TEST(FolderRelation, ShortFormsAreComparedInTheirLongFormAndGonePathsAsGiven) {
    TempFolder temp;
    std::wstring folder = Wide(temp.File("A Rather Long Folder Name")) + L" \u0448\u043f\u0438\u043e\u043d";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring dll = folder + L"\\monitor.dll";
    std::wstring exe = folder + L"\\some long program name.exe";
    ASSERT_TRUE(WriteTextFile(dll, "x"));
    ASSERT_TRUE(WriteTextFile(exe, "x"));
    wchar_t shortExe[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(exe.c_str(), shortExe, MAX_PATH));
    ASSERT_STRNE(exe.c_str(), shortExe);
    EXPECT_TRUE(IsSameFolder(dll.c_str(), shortExe));
    // Only the folders are looked up: a file gone from a folder that is
    // still there relates by the folder's long form.
    wchar_t shortFolder[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH));
    EXPECT_TRUE(IsSameFolder((std::wstring(shortFolder) + L"\\gone now.dll").c_str(), exe.c_str()));

    // A module that no longer exists is compared by the path as given.
    std::wstring gone = Wide(temp.File("removed\\gone.dll"));
    EXPECT_TRUE(IsSameFolder(gone.c_str(), Wide(temp.File("removed\\host.exe")).c_str()));
    EXPECT_FALSE(IsSameFolder(gone.c_str(), exe.c_str()));
    EXPECT_GE(CommonFolderDepth(gone.c_str(), exe.c_str()), 3);
}

TEST(FileDescription, ReadsTheFirstTranslationOrNothing) {
    EXPECT_EQ(L"Sample keyboard monitor", GetFileDescription(Wide(BinDir() + "sample_hook.dll").c_str()));
    EXPECT_EQ(L"Sample hook host", GetFileDescription(Wide(BinDir() + "sample_hook_host.exe").c_str()));
    EXPECT_EQ(L"", GetFileDescription(Wide(ModulePath(nullptr)).c_str()));
    EXPECT_EQ(L"", GetFileDescription(Wide(BinDir() + "no_such_file.exe").c_str()));
}

}  // namespace

// A 32-bit system has no redirected system folder: paths stay as they are.
TEST(PathFor32BitAccess, AThirtyTwoBitSystemKeepsEveryPath) {
    ASSERT_FALSE(IsWow64System());
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetSystemWindowsDirectoryW(windows, MAX_PATH), 0u);
    const std::wstring path = std::wstring(windows) + L"\\System32\\notepad.exe";
    EXPECT_EQ(path, PathFor32BitAccess(path));
}
