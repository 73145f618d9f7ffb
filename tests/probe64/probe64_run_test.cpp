// The real 64-bit companion, started by this 32-bit test program in the
// 64-bit prefix: it finds a 64-bit sample hook, and a run whose probe is
// ended, cancelled or never started still ends with the outcome that says so.
#include <gtest/gtest.h>

#include <string>

#include "../scanner/hook_host.h"
#include "scanner/probe64_client.h"
#include "scanner/self_test.h"
#include "test_support.h"

using namespace testing_support;

namespace {

constexpr UINT kRunDone = WM_APP + 7;
constexpr DWORD kRunTimeoutMs = 60000;
// Only a guard against a hang: a run ends by itself at kRunTimeoutMs.
constexpr DWORD kGuardMs = 90000;

// A message-only window that the run's end is posted to.
class DoneWindow {
public:
    DoneWindow() {
        m_window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~DoneWindow() { DestroyWindow(m_window); }
    operator HWND() const { return m_window; }

    // Pumps messages until the run's message arrives; false when it never does.
    bool WaitForDone() {
        DWORD started = GetTickCount();
        while (GetTickCount() - started < kGuardMs) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.hwnd == m_window && msg.message == kRunDone) return true;
                DispatchMessageA(&msg);
            }
        }
        return false;
    }

private:
    HWND m_window = nullptr;
};

bool WaitUntilEnded(const CProbe64Run& run) {
    DWORD started = GetTickCount();
    while (run.IsRunning()) {
        if (GetTickCount() - started >= kGuardMs) return false;
        Sleep(20);
    }
    return true;
}

bool EndsSoon(HANDLE process) { return WaitForSingleObject(process, kGuardMs) == WAIT_OBJECT_0; }

const ProbeModule* FindModule(const ProbeAnswer& answer, const std::wstring& path) {
    for (const ProbeModule& module : answer.modules)
        if (Lower(module.path) == Lower(path)) return &module;
    return nullptr;
}

const CListItemState* FindRecord(const ProbeModule& module, DWORD processId) {
    for (const CListItemState& record : module.records)
        if (record.m_dwProcessId == processId) return &record;
    return nullptr;
}

bool HasExplorer(const ProbeModule& module) {
    for (const CListItemState& record : module.records) {
        std::wstring path = Lower(std::wstring(record.m_szPath));
        if (path.size() >= 13 && path.compare(path.size() - 13, 13, L"\\explorer.exe") == 0) return true;
    }
    return false;
}

}  // namespace

// Under Wine a 64-bit global hook ends the hook chain in 32-bit processes,
// so each hook type gets a host and a run of its own. Module and host live
// in a folder named in CJK and Cyrillic letters: the answer carries the
// real paths.
TEST(Probe64Run, FindsTheSampleHookOfA64BitHost) {
    ASSERT_TRUE(IsWow64System());
    TempFolder temp;
    const std::wstring folder = Wide(temp.Path()) + L"\u76d1\u89c6 \u0448\u043f\u0438\u043e\u043d\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring module = folder + L"sample_hook64.dll";
    const std::wstring hostPath = folder + L"sample_hook_host64.exe";
    ASSERT_TRUE(CopyFromBin("sample_hook64.dll", module));
    ASSERT_TRUE(CopyFromBin("sample_hook_host64.exe", hostPath));
    for (const wchar_t* hookType : {L"keyboard", L"getmessage"}) {
        SCOPED_TRACE(Narrow(hookType));
        HookHost host;
        ASSERT_TRUE(host.Start(hostPath, L"-dll " + Quoted(module) + L" -hook " + hookType));
        DoneWindow window;
        CProbe64Run run;
        ASSERT_TRUE(run.Start(Wide(BinDir()), window, kRunDone, kRunTimeoutMs));
        EXPECT_NE(0u, run.ProcessId());
        ASSERT_TRUE(window.WaitForDone());
        ProbeOutcome outcome = PROBE_NOT_STARTED;
        ProbeAnswer answer;
        ASSERT_TRUE(run.TakeResult(outcome, answer));
        EXPECT_FALSE(run.TakeResult(outcome, answer));
        ASSERT_EQ(PROBE_OK, outcome);
        EXPECT_TRUE(answer.selfTestSeen);
        for (const ProbeModule& found : answer.modules) EXPECT_FALSE(IsSelfTestModule(found.path.c_str()));

        const ProbeModule* sample = FindModule(answer, module);
        ASSERT_NE(nullptr, sample);
        // The probe ended right after its answer: it is no host to show.
        EXPECT_EQ(nullptr, FindRecord(*sample, run.ProcessId()));
        const CListItemState* record = FindRecord(*sample, host.Id());
        ASSERT_NE(nullptr, record);
        EXPECT_EQ(Lower(hostPath), Lower(std::wstring(record->m_szPath)));
        EXPECT_STREQ(L"Sample hook host", record->m_szDescription);
        // No window, no autorun, the module's own folder.
        EXPECT_FALSE(record->m_bVisible);
        EXPECT_TRUE(record->m_bSameFolder);
        EXPECT_EQ(AUTORUN_NONE, record->m_autoRun.m_nType);
        EXPECT_EQ(RGB(170, 0, 0), record->m_crBack);
        EXPECT_EQ(RGB(255, 255, 255), record->m_crText);
        // Wine's 64-bit desktop process takes messages from its queue too.
        if (std::wstring(hookType) == L"getmessage") {
            EXPECT_TRUE(HasExplorer(*sample));
        }
        EXPECT_TRUE(host.Stop());
    }
}

TEST(Probe64Run, RunsWithoutAnAnswerStillEnd) {
    // The probe ended from outside while it runs: its answer stops early.
    {
        CProbe64Run run;
        ASSERT_TRUE(run.Start(Wide(BinDir()), nullptr, 0, kRunTimeoutMs));
        HANDLE probe = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, run.ProcessId());
        ASSERT_NE(nullptr, probe);
        EXPECT_TRUE(TerminateProcess(probe, 9));
        EXPECT_TRUE(EndsSoon(probe));
        CloseHandle(probe);
        ASSERT_TRUE(WaitUntilEnded(run));
        ProbeOutcome outcome = PROBE_OK;
        ProbeAnswer answer;
        ASSERT_TRUE(run.TakeResult(outcome, answer));
        EXPECT_EQ(PROBE_ENDED_EARLY, outcome);
        EXPECT_TRUE(answer.modules.empty());
    }
    // Cancelled: the run ends at once and so does the probe.
    {
        CProbe64Run run;
        ASSERT_TRUE(run.Start(Wide(BinDir()), nullptr, 0, kRunTimeoutMs));
        HANDLE probe = OpenProcess(SYNCHRONIZE, FALSE, run.ProcessId());
        ASSERT_NE(nullptr, probe);
        run.Cancel();
        EXPECT_FALSE(run.IsRunning());
        ProbeOutcome outcome = PROBE_OK;
        ProbeAnswer answer;
        ASSERT_TRUE(run.TakeResult(outcome, answer));
        EXPECT_EQ(PROBE_CANCELLED, outcome);
        EXPECT_TRUE(EndsSoon(probe));
        CloseHandle(probe);
    }
    // Cancelled after the probe answered but before the answer was taken.
    {
        CProbe64Run run;
        ASSERT_TRUE(run.Start(Wide(BinDir()), nullptr, 0, kRunTimeoutMs));
        ASSERT_TRUE(WaitUntilEnded(run));
        run.Cancel();
        ProbeOutcome outcome = PROBE_OK;
        ProbeAnswer answer;
        ASSERT_TRUE(run.TakeResult(outcome, answer));
        EXPECT_EQ(PROBE_CANCELLED, outcome);
        EXPECT_FALSE(answer.selfTestSeen);
    }
    // The run object goes while its worker reads: the probe is ended.
    {
        HANDLE probe = nullptr;
        {
            CProbe64Run run;
            ASSERT_TRUE(run.Start(Wide(BinDir()), nullptr, 0, kRunTimeoutMs));
            probe = OpenProcess(SYNCHRONIZE, FALSE, run.ProcessId());
        }
        ASSERT_NE(nullptr, probe);
        EXPECT_TRUE(EndsSoon(probe));
        CloseHandle(probe);
    }
    // No probe in the folder.
    {
        TempFolder empty;
        CProbe64Run run;
        EXPECT_FALSE(run.Start(Wide(empty.Path()), nullptr, 0, kRunTimeoutMs));
        EXPECT_FALSE(run.IsRunning());
        ProbeOutcome outcome = PROBE_OK;
        ProbeAnswer answer;
        ASSERT_TRUE(run.TakeResult(outcome, answer));
        EXPECT_EQ(PROBE_NOT_STARTED, outcome);
    }
}

// A 64-bit program's file in the system folder is reached by this 32-bit
// program through Sysnative; the plain path would name its 32-bit twin.
TEST(Probe64Path, SystemFolderFilesAreReachedThroughSysnative) {
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetSystemWindowsDirectoryW(windows, MAX_PATH), 0u);
    const std::wstring folder = std::wstring(windows) + L"\\";
    const std::wstring plain = folder + L"SYSTEM32\\notepad.exe";
    const std::wstring native = PathFor32BitAccess(plain);
    EXPECT_EQ(folder + L"Sysnative\\notepad.exe", native);
    WIN32_FILE_ATTRIBUTE_DATA twin = {}, real = {};
    ASSERT_TRUE(GetFileAttributesExW(plain.c_str(), GetFileExInfoStandard, &twin));
    ASSERT_TRUE(GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &real));
    EXPECT_NE(twin.nFileSizeLow, real.nFileSizeLow) << "the same file both ways";
    // Elsewhere nothing changes.
    EXPECT_EQ(folder + L"explorer.exe", PathFor32BitAccess(folder + L"explorer.exe"));
    const std::wstring bin = Wide(BinDir()) + L"sample_hook64.dll";
    EXPECT_EQ(bin, PathFor32BitAccess(bin));
    EXPECT_EQ(folder + L"System32", PathFor32BitAccess(folder + L"System32"));
}
