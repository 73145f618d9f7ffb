// The census of real processes: hosts of the sample module placed so that
// each alert level occurs, found with their paths, windows, descriptions,
// autorun entries and folder facts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "hook_host.h"
#include "autorun/autorun_sources.h"
#include "census/census.h"
#include "census/scan_result.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunKeyW[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct HostPlan {
    const char* relativePath;  // below the census root
    bool window;
    bool autorun;
    int level;
    COLORREF back;
    COLORREF text;
};

// The module lies in ROOT\mods\. ROOT\mods\sub\ shares three folders with it
// (same folder by depth); ROOT\ shares only two.
const HostPlan kPlans[] = {
    {"mods\\host_one.exe", false, true, 1, RGB(255, 0, 0), RGB(255, 255, 255)},
    {"mods\\sub\\host_two.exe", false, false, 2, RGB(170, 0, 0), RGB(255, 255, 255)},
    {"host_three.exe", false, true, 3, RGB(255, 192, 203), RGB(139, 0, 0)},
    {"host_four.exe", false, false, 4, RGB(230, 230, 250), RGB(0, 0, 0)},
    {"mods\\host_five.exe", true, true, 5, RGB(175, 238, 238), RGB(0, 0, 0)},
    {"mods\\host_six.exe", true, false, 6, RGB(200, 200, 200), RGB(0, 0, 0)},
};

// A folder right below C:\, so that "elsewhere" really is only two folders
// deep in common with the module.
class CensusRoot {
public:
    CensusRoot() {
        char path[MAX_PATH];
        snprintf(path, sizeof(path), "C:\\veyrith-census-%lu-%lu\\", GetCurrentProcessId(),
                 GetTickCount());
        m_path = path;
        CreateDirectoryA(m_path.c_str(), nullptr);
        CreateDirectoryA((m_path + "mods").c_str(), nullptr);
        CreateDirectoryA((m_path + "mods\\sub").c_str(), nullptr);
    }
    ~CensusRoot() { DeleteTree(m_path); }
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

CAutoRunArray Inventory() {
    CAutoRunArray inventory;
    CollectAutoRuns(inventory);
    return inventory;
}

const CListItemState* FindRecord(const CAffectedApplications& census, DWORD processId) {
    for (int i = 0; i < census.GetCount(); ++i)
        if (census.GetAt(i).m_dwProcessId == processId) return &census.GetAt(i);
    return nullptr;
}

class Census : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetResourceModule(GetModuleHandleW(nullptr)); }

    void SetUp() override {
        m_dll = m_root.File("mods\\monitor.dll");
        ASSERT_TRUE(CopyFromBin("sample_hook.dll", m_dll));
    }

    std::string RunValueName(int level) const {
        char name[64];
        snprintf(name, sizeof(name), "VeyrithCensus%d-%lu", level, GetCurrentProcessId());
        return name;
    }

    HookHost& StartHost(const HostPlan& plan) {
        std::string exe = m_root.File(plan.relativePath);
        EXPECT_TRUE(CopyFromBin("sample_hook_host.exe", exe));
        std::string args = "-dll " + Quoted(m_dll) + (plan.level == 1 ? " -hook getmessage" : " -hook none");
        if (plan.window) args += " -window";
        if (plan.autorun) args += " -autorun " + RunValueName(plan.level);
        m_hosts.emplace_back(new HookHost);
        EXPECT_TRUE(m_hosts.back()->Start(exe, args)) << exe;
        return *m_hosts.back();
    }

    CensusRoot m_root;
    std::string m_dll;
    std::vector<std::unique_ptr<HookHost>> m_hosts;
};

TEST_F(Census, EachPlacementGetsItsAlertLevelAndFacts) {
    for (const HostPlan& plan : kPlans) StartHost(plan);

    CAffectedApplications census;
    census.TakeCensus(Wide(Lower(m_dll)).c_str(), Inventory());

    for (size_t i = 0; i < m_hosts.size(); ++i) {
        const HostPlan& plan = kPlans[i];
        SCOPED_TRACE(plan.relativePath);
        const CListItemState* record = FindRecord(census, m_hosts[i]->Id());
        ASSERT_NE(nullptr, record);
        EXPECT_EQ(0, lstrcmpiW(Wide(m_root.File(plan.relativePath)).c_str(), record->m_szPath)) << record->m_szPath;
        EXPECT_EQ(plan.window ? TRUE : FALSE, record->m_bVisible);
        EXPECT_STREQ(L"Sample hook host", record->m_szDescription);
        if (plan.autorun) {
            EXPECT_EQ(AUTORUN_REGISTRY, record->m_autoRun.m_nType);
            EXPECT_STREQ(Wide(RunValueName(plan.level)).c_str(), record->m_autoRun.m_szValueName);
            EXPECT_STREQ(kRunKeyW, record->m_autoRun.m_szLocation);
        } else {
            EXPECT_EQ(AUTORUN_NONE, record->m_autoRun.m_nType);
        }
        bool sameFolder = strncmp(plan.relativePath, "mods\\", 5) == 0;
        EXPECT_EQ(sameFolder ? TRUE : FALSE, record->m_bSameFolder);
        EXPECT_EQ(plan.back, record->m_crBack);
        EXPECT_EQ(plan.text, record->m_crText);
    }

    // Hosts that end normally take their autorun entries with them.
    for (auto& host : m_hosts) EXPECT_TRUE(host->Stop());
    for (const HostPlan& plan : kPlans)
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, RunValueName(plan.level).c_str()));
}

TEST_F(Census, TheOwnProcessIsProbedLikeAnyOther) {
    HMODULE loaded = LoadLibraryA(m_dll.c_str());
    ASSERT_NE(nullptr, loaded);
    HookHost& host = StartHost(kPlans[3]);

    CAffectedApplications census;
    census.TakeCensus(Wide(m_dll).c_str(), Inventory());
    EXPECT_EQ(2, census.GetCount());
    const CListItemState* own = FindRecord(census, GetCurrentProcessId());
    ASSERT_NE(nullptr, own);
    EXPECT_STREQ(Wide(ModulePath(nullptr)).c_str(), own->m_szPath);
    EXPECT_STREQ(LoadResString(57647).c_str(), own->m_szDescription);
    EXPECT_STREQ(L"Description absent", own->m_szDescription);
    EXPECT_NE(nullptr, FindRecord(census, host.Id()));

    // A second census starts from nothing.
    FreeLibrary(loaded);
    census.TakeCensus(Wide(m_dll).c_str(), Inventory());
    EXPECT_EQ(1, census.GetCount());
    EXPECT_EQ(nullptr, FindRecord(census, GetCurrentProcessId()));
}

TEST_F(Census, ProcessesThatCannotBeOpenedOrLackTheModuleAreSkipped) {
    HookHost& ended = StartHost(kPlans[3]);
    DWORD endedId = ended.Id();
    ASSERT_TRUE(ended.Stop());
    // A ready host that has another module loaded instead of the sample one.
    HookHost other;
    std::string otherExe = BinDir() + "sample_hook_host.exe";
    ASSERT_TRUE(other.Start(otherExe, "-hook none -dll " + Quoted(BinDir() + "probe_module.dll")));

    CAffectedApplications census;
    EXPECT_EQ(0, census.ProbeProcess(endedId, Wide(m_dll).c_str(), CAutoRunArray()));
    EXPECT_EQ(0, census.ProbeProcess(0xFFFFFFF0u, Wide(m_dll).c_str(), CAutoRunArray()));
    EXPECT_EQ(0, census.ProbeProcess(other.Id(), Wide(m_dll).c_str(), CAutoRunArray()));
    EXPECT_EQ(0, census.GetCount());
    std::wstring kernel32 = Wide(ModulePath(GetModuleHandleW(L"kernel32.dll")));
    EXPECT_EQ(1, census.ProbeProcess(other.Id(), kernel32.c_str(), CAutoRunArray()));
    ASSERT_EQ(1, census.GetCount());
    EXPECT_EQ(0, lstrcmpiW(Wide(otherExe).c_str(), census.GetAt(0).m_szPath));
    EXPECT_EQ(FALSE, census.GetAt(0).m_bVisible);
    EXPECT_EQ(other.Id(), census.GetAt(0).m_dwProcessId);
    census.Reset();
    EXPECT_EQ(0, census.GetCount());
}

// Records taken elsewhere (the 64-bit companion's) are kept only while their
// process id still names the process they were taken from (image and
// creation time), and their autorun facts only while they name an autorun
// place; the census never probes for their module.
TEST_F(Census, TakenRecordsKeepOnlyTheProcessesTheyNamed) {
    HookHost& running = StartHost(kPlans[3]);
    HookHost& ended = StartHost(kPlans[1]);
    DWORD endedId = ended.Id();
    ASSERT_TRUE(ended.Stop());
    const std::wstring dll = Wide(m_dll);
    CModuleCensus probe({dll});
    probe.Take(Inventory());
    ASSERT_EQ(1u, probe.Find(dll.c_str())->size());
    const CListItemState genuine = (*probe.Find(dll.c_str()))[0];
    ASSERT_EQ(running.Id(), genuine.m_dwProcessId);

    CListItemState notAutoRun = genuine;
    notAutoRun.m_autoRun.m_nType = AUTORUN_REGISTRY;
    notAutoRun.m_autoRun.m_hRootKey = HKEY_CURRENT_USER;
    lstrcpynW(notAutoRun.m_autoRun.m_szLocation, L"Software\\Tarnwick", 260);
    lstrcpynW(notAutoRun.m_autoRun.m_szValueName, L"Veyrith", 128);
    CListItemState otherImage = genuine;
    lstrcpynW(otherImage.m_szPath, L"C:\\x64\\host.exe", MAX_PATH);
    CListItemState otherStart = genuine;
    otherStart.m_ftCreated.dwLowDateTime ^= 1;
    CListItemState endedOne = genuine;
    endedOne.m_dwProcessId = endedId;
    // kernel32 is loaded in every process here: probing for it would add a
    // record for each of them.
    std::wstring kernel32 = Wide(ModulePath(GetModuleHandleW(L"kernel32.dll")));
    auto records = std::make_shared<const std::vector<CListItemState>>(
        std::vector<CListItemState>{notAutoRun, otherImage, otherStart, endedOne});

    CModuleCensus census({Wide(m_dll)});
    census.AddTakenModule(TakenModule{kernel32, records});
    census.AddTakenModule(TakenModule{Wide(m_dll), records});  // already part of it: ignored
    census.Take(Inventory());
    const std::vector<CListItemState>* kept = census.Find(kernel32.c_str());
    ASSERT_NE(nullptr, kept);
    ASSERT_EQ(1u, kept->size());
    EXPECT_EQ(running.Id(), (*kept)[0].m_dwProcessId);
    EXPECT_EQ(AUTORUN_NONE, (*kept)[0].m_autoRun.m_nType);
    EXPECT_EQ(kAlertColors[ALERT_HIDDEN - 1].back, (*kept)[0].m_crBack);
    // The module asked for is probed as ever.
    ASSERT_NE(nullptr, census.Find(Wide(m_dll).c_str()));
    EXPECT_EQ(1u, census.Find(Wide(m_dll).c_str())->size());
}

// The scan's result: every module with its width, the census of each taken
// the way every scan takes it, kept for a module that stays when the
// result is written anew.
TEST_F(Census, ScanResultHoldsEveryModuleWithTheCensusOfItsHosts) {
    HookHost& host = StartHost(kPlans[3]);
    const std::wstring dll = Wide(Lower(m_dll));
    CModuleCensus probe({dll});
    probe.Take(Inventory());
    ASSERT_EQ(1u, probe.Find(dll.c_str())->size());
    auto records = std::make_shared<const std::vector<CListItemState>>(*probe.Find(dll.c_str()));
    std::wstring upper = dll;
    CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    const std::wstring module64 = L"c:\\x64\\watch64.dll";

    DetectedModules detected;
    detected.modules = {RequestedModule{dll, StageBit(STAGE_KEYBOARD), 1}};
    detected.selectFirst = true;
    CScanResult result;
    // A module that both sides were asked for is listed once, as the
    // companion's, after the modules of this side.
    const std::wstring both = L"c:\\both\\hook64.dll";
    detected.modules.push_back(RequestedModule{both, StageBit(STAGE_KEYBOARD), 1});
    result.SetFound(detected, {TakenModule{L"C:\\Both\\HOOK64.dll", records, StageBit(STAGE_WINDOW)},
                               TakenModule{module64, records, StageBit(STAGE_MOUSE)}});
    detected.modules.pop_back();
    ASSERT_EQ(3, result.Count());
    EXPECT_EQ(dll, result.Finding(0).path);
    EXPECT_FALSE(result.Finding(0).Is64Bit());
    EXPECT_TRUE(result.Finding(0).ReadsKeystrokes());
    EXPECT_EQ(L"C:\\Both\\HOOK64.dll", result.Finding(1).path);
    EXPECT_TRUE(result.Finding(1).Is64Bit());
    EXPECT_EQ(static_cast<WatchFacts>(WATCH_WINDOWS), result.Finding(1).Watches());
    EXPECT_EQ(module64, result.Finding(2).path);
    EXPECT_EQ(64, result.Finding(2).bits);
    EXPECT_EQ(static_cast<WatchFacts>(WATCH_MOUSE), result.Finding(2).Watches());
    EXPECT_TRUE(result.SelectFirst());
    EXPECT_EQ(2, result.Find(L"C:\\X64\\WATCH64.DLL"));
    EXPECT_EQ(-1, result.Find(L"c:\\x64\\other.dll"));
    EXPECT_EQ(std::vector<std::wstring>{dll}, result.CensusModules());
    ASSERT_EQ(2u, result.TakenModules().size());
    EXPECT_EQ(records, result.TakenModules()[0].records);
    EXPECT_FALSE(result.HasCensus(0));

    CModuleCensus census(result.CensusModules());
    TakeCensusWithAutoRuns(census, result.TakenModules());
    result.TakeCensus(census);
    ASSERT_TRUE(result.HasCensus(0));
    ASSERT_TRUE(result.HasCensus(1));
    ASSERT_EQ(1u, result.Hosts(0).size());
    EXPECT_EQ(host.Id(), result.Hosts(0)[0].m_dwProcessId);
    EXPECT_EQ(kAlertColors[ALERT_HIDDEN - 1].back, result.Hosts(0)[0].m_crBack);
    ASSERT_EQ(1u, result.Hosts(1).size());
    EXPECT_EQ(host.Id(), result.Hosts(1)[0].m_dwProcessId);

    // Written anew: the module that stays keeps its census until the next
    // one, a new module has none yet, the companion's module is gone.
    std::wstring kernel32 = Wide(Lower(ModulePath(GetModuleHandleW(L"kernel32.dll"))));
    detected.modules = {RequestedModule{dll, StageBit(STAGE_KEYBOARD), 1}, RequestedModule{kernel32, kOutsideStages, 1}};
    detected.selectFirst = false;
    result.SetFound(detected, {});
    ASSERT_EQ(2, result.Count());
    EXPECT_FALSE(result.SelectFirst());
    ASSERT_TRUE(result.HasCensus(0));
    EXPECT_EQ(host.Id(), result.Hosts(0)[0].m_dwProcessId);
    EXPECT_FALSE(result.HasCensus(1));
    EXPECT_TRUE(result.TakenModules().empty());
    result.DropCensus();
    EXPECT_FALSE(result.HasCensus(0));
    EXPECT_EQ(2, result.Count());

    result.SetVerdict(false, IDS_SCAN_UNCONFIRMED);
    EXPECT_EQ(static_cast<UINT>(IDS_SCAN_UNCONFIRMED), result.VerdictTextId());
    result.SetVerdict(true, IDS_SCAN_UNCONFIRMED);
    EXPECT_EQ(0u, result.ReasonId());
    EXPECT_EQ(static_cast<UINT>(IDS_SCANNING_COMPLETE), result.VerdictTextId());
    result.Clear();
    EXPECT_TRUE(result.Empty());
    EXPECT_FALSE(result.Confirmed());
}

// A value under HKCU Run, deleted again when the object goes.
class ScratchRunValue {
public:
    ScratchRunValue(const std::string& name, const std::string& command, DWORD type)
        : m_name(name), m_set(SetStringValue(HKEY_CURRENT_USER, kRunKey, name.c_str(), command, type)) {}
    ~ScratchRunValue() {
        if (m_set) DeleteValue(HKEY_CURRENT_USER, kRunKey, m_name.c_str());
    }
    bool Set() const { return m_set; }

private:
    std::string m_name;
    bool m_set;
};

// An environment variable of this process, removed again when the object goes.
class ScratchVariable {
public:
    ScratchVariable(const char* name, const std::string& value)
        : m_name(name), m_set(SetEnvironmentVariableA(name, value.c_str()) != 0) {}
    ~ScratchVariable() { SetEnvironmentVariableA(m_name.c_str(), nullptr); }
    bool Set() const { return m_set; }

private:
    std::string m_name;
    bool m_set;
};

std::string LongForm(const std::string& path) {
    char buffer[MAX_PATH] = {};
    DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : path;
}

// A file path of exactly `length` characters below folder (which ends in a
// backslash): a chain of folders made to about 200 characters, then a file
// name that fills the rest.
std::string PathOfLength(std::string folder, size_t length) {
    while (folder.size() < 200) {
        folder += std::string(std::min<size_t>(60, 200 - folder.size()), 'd') + "\\";
        if (!CreateDirectoryA(folder.c_str(), nullptr)) return std::string();
    }
    return folder + std::string(length - folder.size() - 4, 'h') + ".exe";
}

struct AutoRunCase {
    const char* what;
    std::string exe;
    std::string command;
    DWORD type;
};

// Run entries that Windows starts although they are long or expandable: the
// census finds each for the host that it starts.
TEST(CensusAutoRun, LongPathExpandableTextAndLongCommandAreFound) {
    TempFolder temp;
    const std::string probe = BinDir() + "probe_module.dll";
    const std::string longExe = PathOfLength(temp.Path(), 259);
    ASSERT_EQ(259u, longExe.size());
    ScratchVariable folder("VEYRITH_CENSUS_HOSTS", temp.Path());
    ASSERT_TRUE(folder.Set());
    const std::string argsExe = LongForm(temp.File("args_host.exe"));
    const AutoRunCase cases[] = {
        {"259-character path", longExe, longExe, REG_SZ},
        {"expandable text", temp.File("expand_host.exe"), "%VEYRITH_CENSUS_HOSTS%expand_host.exe",
         REG_EXPAND_SZ},
        {"command beyond 520 bytes", argsExe, argsExe + " /pad " + std::string(600, 'p'), REG_SZ},
    };

    std::vector<std::unique_ptr<HookHost>> hosts;
    std::vector<std::unique_ptr<ScratchRunValue>> values;
    std::vector<std::string> names;
    for (const AutoRunCase& c : cases) {
        ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", c.exe)) << c.what;
        hosts.emplace_back(new HookHost);
        ASSERT_TRUE(hosts.back()->Start(c.exe, "-hook none -dll " + Quoted(probe))) << c.what;
        names.push_back("VeyrithCensusLong-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(names.size()));
        values.emplace_back(new ScratchRunValue(names.back(), c.command, c.type));
        ASSERT_TRUE(values.back()->Set()) << c.what;
    }

    CAffectedApplications census;
    census.TakeCensus(Wide(probe).c_str(), Inventory());

    for (size_t i = 0; i < hosts.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const CListItemState* record = FindRecord(census, hosts[i]->Id());
        ASSERT_NE(nullptr, record);
        EXPECT_EQ(0, lstrcmpiW(Wide(cases[i].exe).c_str(), record->m_szPath)) << record->m_szPath;
        EXPECT_EQ(AUTORUN_REGISTRY, record->m_autoRun.m_nType);
        EXPECT_EQ(HKEY_CURRENT_USER, record->m_autoRun.m_hRootKey);
        EXPECT_STREQ(kRunKeyW, record->m_autoRun.m_szLocation);
        EXPECT_STREQ(Wide(names[i]).c_str(), record->m_autoRun.m_szValueName);
    }
    for (auto& host : hosts) EXPECT_TRUE(host->Stop());
}

}  // namespace
