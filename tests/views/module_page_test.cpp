// The info pane's page of a module: what it watches, and the sentence of a
// classic keylogger when it reads keystrokes in a hidden program that starts
// with Windows. Real hosts (one registered under the Run key, one not), a
// real census, the real tree, list and info pane in a test window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "../scanner/hook_host.h"
#include "census/census.h"
#include "common/string_resource.h"
#include "pane_test_frame.h"
#include "resources/resource.h"
#include "test_support.h"
#include "views/info_pages.h"

using namespace testing_support;

namespace {

const wchar_t kAutorunValue[] = L"VeyrithModulePageTest";
const wchar_t kWatchesKeys[] = L"<p>What it watches: reads keystrokes</p>";

bool Holds(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::wstring ClassicLine() { return L"<p><strong>" + LoadResString(IDS_CLASSIC_KEYLOGGER) + L"</strong></p>"; }

// spy.dll in a hidden host that starts with Windows, other.dll in a hidden
// host that does not; their folder's name holds a markup character.
class ModulePage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_frame.Ready());
        std::wstring folder = Wide(m_folder.Path()) + L"a&b\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        m_spy = Lower(folder + L"spy.dll");
        m_other = Lower(folder + L"other.dll");
        ASSERT_TRUE(CopyFromBin("sample_hook.dll", m_spy));
        ASSERT_TRUE(CopyFromBin("sample_hook.dll", m_other));
        ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", folder + L"autorun_host.exe"));
        ASSERT_TRUE(CopyFromBin("sample_hook_host.exe", folder + L"plain_host.exe"));
        ASSERT_TRUE(m_autorun.Start(folder + L"autorun_host.exe",
                                    L"-hook none -autorun " + std::wstring(kAutorunValue) + L" -dll " + Quoted(m_spy)));
        ASSERT_TRUE(m_plain.Start(folder + L"plain_host.exe", L"-hook none -dll " + Quoted(m_other)));
    }

    // A result of the two modules with these stages and a census of them.
    CScanResult Censused(StageSet spyStages, StageSet otherStages) {
        CScanResult result;
        result.Add(CModuleFinding{m_spy, 32, spyStages});
        result.Add(CModuleFinding{m_other, 32, otherStages});
        CModuleCensus census(result.CensusModules());
        TakeCensusWithAutoRuns(census);
        result.TakeCensus(census);
        return result;
    }

    PaneTestFrame m_frame;
    TempFolder m_folder;
    std::wstring m_spy, m_other;
    HookHost m_autorun, m_plain;
};

TEST_F(ModulePage, TellsWhatItWatchesAndNamesTheClassicKeyloggerOnlyForAHiddenAutorunHost) {
    const StageSet keyboard = StageBit(STAGE_KEYBOARD);
    CScanResult keys = Censused(keyboard, keyboard);
    ASSERT_EQ(keys.Hosts(0).size(), 1u);
    ASSERT_EQ(keys.Hosts(1).size(), 1u);

    std::wstring spy = ModulePageHtml(keys, 0);
    EXPECT_TRUE(Holds(spy, L"a&amp;b\\spy.dll</h1>")) << Narrow(spy);
    EXPECT_FALSE(Holds(spy, L"a&b")) << "the path is escaped";
    EXPECT_TRUE(Holds(spy, kWatchesKeys)) << Narrow(spy);
    EXPECT_TRUE(Holds(spy, ClassicLine())) << Narrow(spy);

    // Its host does not start with Windows.
    std::wstring other = ModulePageHtml(keys, 1);
    EXPECT_TRUE(Holds(other, kWatchesKeys)) << Narrow(other);
    EXPECT_FALSE(Holds(other, ClassicLine())) << Narrow(other);

    // A mouse hook in the same hidden autorun host is no keylogger; a
    // module of which the scan tells nothing says so.
    CScanResult mouse = Censused(StageBit(STAGE_MOUSE), 0);
    std::wstring mouseSpy = ModulePageHtml(mouse, 0);
    EXPECT_TRUE(Holds(mouseSpy, L"<p>What it watches: watches the mouse</p>")) << Narrow(mouseSpy);
    EXPECT_FALSE(Holds(mouseSpy, ClassicLine()));
    EXPECT_TRUE(Holds(ModulePageHtml(mouse, 1), L"<p>What it watches: not known from this scan</p>"));
}

TEST_F(ModulePage, SelectingAModuleShowsItsPageAgainOnceItsCensusLands) {
    CScanResult& result = m_frame.Result();
    result.Add(CModuleFinding{m_other, 32, StageBit(STAGE_WINDOW)});
    result.Add(CModuleFinding{m_spy, 32, StageBit(STAGE_POSTED_MESSAGE)});
    ASSERT_TRUE(m_frame.Left().ShowModules());
    HWND tree = m_frame.Left().Tree();
    HTREEITEM first = TreeView_GetChild(tree, m_frame.Left().GetRootItem());
    ASSERT_EQ(m_frame.Left().GetItemModule(first), 1) << "the module that reads keystrokes comes first";

    TreeView_SelectItem(tree, first);
    CInfoView& info = m_frame.Info();
    EXPECT_EQ(info.ShownModule(), 1);
    EXPECT_TRUE(info.RequestedPage().empty());
    EXPECT_TRUE(Holds(info.ModulePage(), kWatchesKeys)) << Narrow(info.ModulePage());
    EXPECT_FALSE(Holds(info.ModulePage(), ClassicLine())) << "no census has landed yet";

    ASSERT_TRUE(WaitForCensus(m_frame.List()));
    EXPECT_EQ(info.ShownModule(), 1);
    EXPECT_TRUE(Holds(info.ModulePage(), ClassicLine())) << Narrow(info.ModulePage());
    EXPECT_EQ(info.ModulePage(), ModulePageHtml(result, 1));

    // The other module's page; a page resource takes the pane back.
    TreeView_SelectItem(tree, TreeView_GetNextSibling(tree, first));
    EXPECT_EQ(info.ShownModule(), 0);
    EXPECT_TRUE(Holds(info.ModulePage(), L"<p>What it watches: watches windows</p>"));
    info.ShowPage(kScanningCompletePage);
    EXPECT_EQ(info.ShownModule(), -1);
    EXPECT_TRUE(info.ModulePage().empty());
}

TEST(ModulePageUrl, CarriesThePageWholeWithPercentAndHashEncoded) {
    EXPECT_EQ(InlinePageUrl(L"<p>100% #1 \u0448</p>"), L"about:<p>100%25 %231 \u0448</p>");
}

}  // namespace
