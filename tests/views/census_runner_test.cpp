// The list fills from a census taken on a worker thread: the rows follow the
// newest selection, a superseded or dropped census never lands, and a window
// that goes while a census runs takes nothing down with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "../scanner/hook_host.h"
#include "pane_test_frame.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// Two hosts, each with a module of its own loaded.
class CensusRunner : public ::testing::Test {
protected:
    void SetUp() override {
        m_dllA = Wide(Lower(m_folder.File("census_a.dll")));
        m_dllB = Wide(Lower(m_folder.File("census_b.dll")));
        ASSERT_TRUE(CopyFromBin("sample_hook.dll", m_dllA));
        ASSERT_TRUE(CopyFromBin("probe_module.dll", m_dllB));
        std::wstring exe = Wide(BinDir() + "sample_hook_host.exe");
        ASSERT_TRUE(m_hostA.Start(exe, L"-hook none -dll " + Quoted(m_dllA)));
        ASSERT_TRUE(m_hostB.Start(exe, L"-hook none -dll " + Quoted(m_dllB)));
        ASSERT_TRUE(m_frame.Ready());
    }

    // The process identifiers of the list's rows.
    std::vector<DWORD> RowProcesses() {
        std::vector<DWORD> ids;
        CVeyrithView& list = m_frame.List();
        for (int row = 0; row < list.GetRowCount(); ++row)
            ids.push_back(list.Records().GetAt(list.GetRowRecord(row)).m_dwProcessId);
        return ids;
    }

    TempFolder m_folder;
    std::wstring m_dllA, m_dllB;
    HookHost m_hostA, m_hostB;
    PaneTestFrame m_frame;
};

TEST_F(CensusRunner, RowsFollowTheNewestSelection) {
    CVeyrithView& list = m_frame.List();
    const int a = m_frame.ModuleOf(m_dllA), b = m_frame.ModuleOf(m_dllB);
    list.TakeCensus();
    // A selection made while the census runs shows nothing yet; the one
    // after it wins when the census lands.
    list.ShowModule(a);
    EXPECT_EQ(0, list.GetRowCount());
    list.ShowModule(b);
    ASSERT_TRUE(WaitForCensus(list));
    EXPECT_EQ(std::vector<DWORD>{m_hostB.Id()}, RowProcesses());

    // Selections after the census has landed fill at once, without another.
    list.ShowModule(a);
    EXPECT_FALSE(list.IsCensusRunning());
    EXPECT_EQ(std::vector<DWORD>{m_hostA.Id()}, RowProcesses());
    list.ShowNothing();
    EXPECT_EQ(0, list.GetRowCount());

    // A module the census did not cover gets a census of its own.
    std::wstring kernel32 = Wide(Lower(ModulePath(GetModuleHandleW(L"kernel32.dll"))));
    list.ShowModule(m_frame.ModuleOf(kernel32));
    EXPECT_TRUE(list.IsCensusRunning());
    ASSERT_TRUE(WaitForCensus(list));
    std::vector<DWORD> ids = RowProcesses();
    EXPECT_NE(std::find(ids.begin(), ids.end(), m_hostA.Id()), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), m_hostB.Id()), ids.end());
}

TEST_F(CensusRunner, SupersededAndDroppedCensusesNeverLand) {
    // Two censuses in a row: only the second one's result is taken.
    CCensusRunner runner(m_frame.HostWindow());
    ASSERT_TRUE(runner.Start({m_dllA}));
    ASSERT_TRUE(runner.Start({m_dllB}));
    std::unique_ptr<CCensusResult> result;
    DWORD start = GetTickCount();
    while (!result && GetTickCount() - start < 30000) {
        PumpMessages(20);
        result = runner.TakeResult();
    }
    ASSERT_TRUE(result);
    EXPECT_EQ(std::vector<std::wstring>{m_dllB}, result->Census().Modules());
    EXPECT_FALSE(runner.IsRunning());
    PumpMessages(1500);
    EXPECT_FALSE(runner.TakeResult()) << "the superseded census landed after all";

    // A new scan drops the census: its rows never appear.
    CVeyrithView& list = m_frame.List();
    const int a = m_frame.ModuleOf(m_dllA);
    list.TakeCensus();
    list.ShowModule(a);
    list.DropCensus();
    EXPECT_FALSE(list.IsCensusRunning());
    PumpMessages(1500);
    EXPECT_EQ(0, list.GetRowCount());
    EXPECT_EQ(-1, list.ShownModule());
    EXPECT_FALSE(m_frame.Result().HasCensus(a));
}

TEST_F(CensusRunner, ClosingTheWindowDuringACensusIsHarmless) {
    for (int round = 0; round < 3; ++round) {
        auto frame = std::make_unique<PaneTestFrame>();
        ASSERT_TRUE(frame->Ready());
        const int a = frame->ModuleOf(m_dllA);
        frame->ModuleOf(m_dllB);
        frame->List().TakeCensus();
        frame->List().ShowModule(a);
        frame.reset();
    }
    // The workers finish after their windows are gone; this process and
    // a fresh list go on as before.
    PumpMessages(2000);
    ASSERT_TRUE(ShowAndWait(m_frame, Narrow(m_dllA)));
    EXPECT_EQ(std::vector<DWORD>{m_hostA.Id()}, RowProcesses());
}

}  // namespace
