// The tool client against a missing tool, a tool that never ends and the real
// veyrith_configure.exe, each client in a folder of its own.
#include "common/product.h"
#include "common/system_error.h"
#include "common/tool_request.h"
#include "fake_desktop.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "test_support.h"
#include "tool/tool_client.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstring>

using namespace testing_support;

namespace {

// The text for a tool that is not there: the code, then the system's text.
std::wstring MissingToolText() { return L"Error 2: " + SystemErrorText(ERROR_FILE_NOT_FOUND); }

bool NotStarted(const ToolResult& result) {
    return result.exitCode == 0 && result.failure == ToolResult::kNotStarted && result.startError == ERROR_FILE_NOT_FOUND &&
           result.FailureText() == MissingToolText();
}

bool TooLong(const ToolResult& result) {
    return result.exitCode == 0 && result.failure == ToolResult::kPathTooLong &&
           result.FailureText() == LoadResString(IDS_TOOL_PATH_TOO_LONG);
}

// Ran (or was not to run) and failed without a reason to tell.
bool FailedQuietly(const ToolResult& result) {
    return result.exitCode == 0 && result.failure == ToolResult::kNone && result.FailureText().empty();
}

ToolRequest Stored(DWORD expectedSize) {
    std::vector<unsigned char> bytes = ReadBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
    EXPECT_EQ(bytes.size(), expectedSize);
    ToolRequest request = {};
    std::memcpy(&request, bytes.data(), bytes.size() < sizeof(request) ? bytes.size() : sizeof(request));
    return request;
}

// The veyrith_configure.exe processes that this process started.
std::vector<DWORD> ToolChildren() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId() && !lstrcmpiA(entry.szExeFile, "veyrith_configure.exe"))
            ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

bool HoldsHandleTo(DWORD processId) {
    for (UINT_PTR value = 4; value < 0x4000; value += 4)
        if (GetProcessId(reinterpret_cast<HANDLE>(value)) == processId) return true;
    return false;
}

TEST(ToolClient, MissingToolLongPathsAndTheStoredRequests) {
    TempFolder empty;
    CToolClient tool(Wide(empty.Path()));
    EXPECT_TRUE(NotStarted(tool.Kill(4321, L"C:\\x.exe")));
    EXPECT_EQ(Stored(kToolRequestShortSize).id, 4321u);
    std::wstring longest = L"C:\\" + std::wstring(256, L'\u0436');
    EXPECT_TRUE(NotStarted(tool.Move(longest.c_str(), L"C:\\b.dll")));
    EXPECT_EQ(std::wstring(Stored(kToolRequestShortSize).path), longest);

    // One character more is refused before anything is stored or started.
    CListItemState record = {};
    record.m_autoRun.m_nType = AUTORUN_WININI;
    EXPECT_TRUE(FailedQuietly(tool.RemoveAutoRun(record, false)));
    Stored(kToolRequestAutorunSize);
    std::wstring tooLong = longest + L"a";
    EXPECT_TRUE(TooLong(tool.Copy(L"C:\\b.dll", tooLong.c_str())));
    FakeDesktop desktop;
    EXPECT_TRUE(TooLong(tool.ShowProperties(desktop, nullptr, tooLong.c_str())));
    Stored(kToolRequestAutorunSize);
    EXPECT_TRUE(desktop.shellOpens.empty());

    // The caller tells the user through its desktop, with the stop icon for
    // a path and the plain box for a start.
    EXPECT_TRUE(ShowToolFailure(desktop, tool.Copy(L"C:\\b.dll", tooLong.c_str())));
    EXPECT_TRUE(ShowToolFailure(desktop, tool.Kill(4321, L"C:\\x.exe")));
    EXPECT_FALSE(ShowToolFailure(desktop, tool.RemoveAutoRun(record, false)));
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].wide, LoadResString(IDS_TOOL_PATH_TOO_LONG));
    EXPECT_EQ(desktop.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(desktop.boxes[1].wide, MissingToolText());
    EXPECT_EQ(desktop.boxes[1].type, static_cast<UINT>(MB_OK));
}

// Each client runs the tool of its own folder: the Properties sheet is the
// desktop's hidden open of that folder's tool on the stored request, and a
// client without a tool in its folder fails while one with it succeeds.
TEST(ToolClient, EachClientUsesTheToolOfItsOwnFolder) {
    TempFolder withTool, empty;
    ASSERT_TRUE(CopyFileW(Wide(BinDir() + "veyrith_configure.exe").c_str(),
                          Wide(withTool.File("veyrith_configure.exe")).c_str(), FALSE));
    CToolClient real(Wide(withTool.Path().substr(0, withTool.Path().size() - 1)));
    CToolClient none(Wide(empty.Path()));
    EXPECT_EQ(real.ToolPath(), Wide(withTool.File("veyrith_configure.exe")));
    EXPECT_EQ(none.ToolPath(), Wide(empty.File("veyrith_configure.exe")));

    FakeDesktop desktop;
    HWND owner = GetDesktopWindow();
    EXPECT_TRUE(real.ShowProperties(desktop, owner, L"C:\\windows\\notepad.exe").Succeeded());
    EXPECT_EQ(std::wstring(Stored(kToolRequestShortSize).path), L"C:\\windows\\notepad.exe");
    ASSERT_EQ(desktop.shellOpens.size(), 1u);
    EXPECT_EQ(desktop.shellOpens[0].owner, owner);
    EXPECT_EQ(desktop.shellOpens[0].verb, "open");
    EXPECT_EQ(desktop.shellOpens[0].file, real.ToolPath());
    EXPECT_EQ(desktop.shellOpens[0].parameters.compare(0, 6, L"-info "), 0);
    EXPECT_GT(desktop.shellOpens[0].parameters.size(), 6u);
    EXPECT_EQ(desktop.shellOpens[0].show, SW_HIDE);

    TempFolder files;
    const std::wstring source = Wide(files.File("kept.txt"));
    ASSERT_TRUE(WriteTextFile(source, "kept"));
    EXPECT_TRUE(NotStarted(none.Copy(source.c_str(), Wide(empty.File("copy.txt")).c_str())));
    EXPECT_TRUE(real.Copy(source.c_str(), Wide(withTool.File("Quarantined\\copy.txt")).c_str()).Succeeded());
    EXPECT_EQ(ReadTextFile(withTool.File("Quarantined\\copy.txt")), "kept");
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST(ToolClient, ToolThatNeverEndsFailsAndItsHandleIsClosed) {
    TempFolder folder;
    ASSERT_TRUE(CopyFileA((BinDir() + "idle_process.exe").c_str(), folder.File("veyrith_configure.exe").c_str(), FALSE));
    CToolClient tool(Wide(folder.Path()), 3000);
    ChildProcess held;  // shows that the probe sees a handle that is held
    ASSERT_TRUE(held.Start(Quoted(BinDir() + "idle_process.exe")));
    EXPECT_TRUE(HoldsHandleTo(held.Id()));

    EXPECT_TRUE(FailedQuietly(tool.Copy(L"C:\\a.dll", L"C:\\b.dll")));
    std::vector<DWORD> children = ToolChildren();
    EXPECT_EQ(children.size(), 1u);
    for (DWORD id : children) {
        EXPECT_FALSE(HoldsHandleTo(id));
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

// What a window of this thread saw while a slow tool ran: a timer that asks
// for a second change, and the longest wait of a message sent from another
// thread.
struct DuringRun {
    const CToolClient* tool = nullptr;
    ToolResult second;
    bool asked = false;
};

LRESULT CALLBACK DuringRunProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* during = reinterpret_cast<DuringRun*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_TIMER && during && !during->asked) {
        KillTimer(window, 1);
        during->asked = true;
        during->second = during->tool->Kill(GetCurrentProcessId(), L"C:\\x.exe");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Pinger {
    HWND window;
    volatile bool stop = false;
    DWORD worstMs = 0;
    int answered = 0;

    static DWORD WINAPI Run(void* self) {
        auto* pinger = static_cast<Pinger*>(self);
        while (!pinger->stop) {
            DWORD started = GetTickCount();
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(pinger->window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) ++pinger->answered;
            DWORD took = GetTickCount() - started;
            if (took > pinger->worstMs) pinger->worstMs = took;
            Sleep(20);
        }
        return 0;
    }
};

// A tool run that takes seconds: the thread that started it keeps handling
// its window's messages, a second run meanwhile is refused without storing
// anything, and the first run's exit code lands.
TEST(ToolClient, ASlowToolRunKeepsTheWindowAnsweringAndRefusesASecondOne) {
    TempFolder folder;
    ASSERT_TRUE(CopyFileW(Wide(BinDir() + "slow_tool.exe").c_str(), Wide(folder.File("veyrith_configure.exe")).c_str(),
                          FALSE));
    CToolClient tool(Wide(folder.Path()));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DuringRunProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VeyrithToolRunTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                nullptr);
    ASSERT_NE(nullptr, window);
    DuringRun during;
    during.tool = &tool;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&during));
    SetTimer(window, 1, 500, nullptr);
    Pinger pinger;
    pinger.window = window;
    HANDLE thread = CreateThread(nullptr, 0, &Pinger::Run, &pinger, 0, nullptr);

    EXPECT_FALSE(IsToolRunning());
    ToolResult first = tool.Copy(L"C:\\a.dll", L"C:\\b.dll");
    EXPECT_FALSE(IsToolRunning());
    ToolRequest stored = Stored(kToolRequestShortSize);
    pinger.stop = true;
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    DestroyWindow(window);

    EXPECT_EQ(7u, first.exitCode) << "the run's result did not land";
    ASSERT_TRUE(during.asked) << "no message was handled during the run";
    EXPECT_EQ(ToolResult::kBusy, during.second.failure);
    EXPECT_EQ(LoadResString(IDS_TOOL_BUSY), during.second.FailureText());
    EXPECT_STREQ(L"C:\\a.dll", stored.path) << "the refused run stored its request";
    EXPECT_GT(pinger.answered, 20) << "the window did not answer during the run";
    printf("worst answer during a 2 s tool run: %lu ms, %d answers\n", pinger.worstMs, pinger.answered);
}

// The tool itself in a folder named in CJK letters, the files in one named
// in Cyrillic: every name reaches the tool and the file system unchanged. A
// backup goes into the quarantine beside the tool and comes back only to
// where it came from, never over a file.
TEST(ToolClient, RealToolBacksUpAndRestoresFilesOfAnyName) {
    TempFolder folder;
    const std::wstring toolFolder = Wide(folder.Path()) + L"\u5de5\u5177\\";
    const std::wstring files = Wide(folder.Path()) + L"\u0444\u0430\u0439\u043b\u044b\\";
    ASSERT_TRUE(CreateDirectoryW(toolFolder.c_str(), nullptr) && CreateDirectoryW(files.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(Wide(BinDir() + "veyrith_configure.exe").c_str(),
                          (toolFolder + L"veyrith_configure.exe").c_str(), FALSE));
    CToolClient tool(toolFolder);
    const std::wstring source = files + L"\u0438\u0441\u0445\u043e\u0434.txt";
    const std::wstring copy = toolFolder + L"Quarantined\\\u76d1.txt";
    ASSERT_TRUE(WriteTextFile(source, "payload"));
    EXPECT_TRUE(tool.Copy(source.c_str(), copy.c_str()).Succeeded());
    // Onto the file that is still there.
    EXPECT_TRUE(FailedQuietly(tool.Move(copy.c_str(), source.c_str())));
    ASSERT_TRUE(DeleteFileW(source.c_str()));
    EXPECT_TRUE(tool.Move(copy.c_str(), source.c_str()).Succeeded());
    EXPECT_FALSE(FileExists(copy));
    EXPECT_EQ(ReadTextFile(source), "payload");
    EXPECT_EQ(std::wstring(Stored(kToolRequestShortSize).target), source);
}

// An autorun entry whose value name did not fit its field carries no root
// key: the request is stored but the tool is never started for it.
TEST(ToolClient, AnEntryWithoutAWholeNameIsNeverSent) {
    TempFolder empty;
    CToolClient tool(Wide(empty.Path()));
    CListItemState record = {};
    record.m_autoRun.m_nType = AUTORUN_REGISTRY;
    wcscpy(record.m_autoRun.m_szLocation, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    // A missing tool that was started would say so.
    EXPECT_TRUE(FailedQuietly(tool.RemoveAutoRun(record, false)));
    record.m_autoRun.m_nType = AUTORUN_SHORTCUT;
    record.m_autoRun.m_szLocation[0] = L'\0';
    EXPECT_TRUE(FailedQuietly(tool.RemoveAutoRun(record, true)));
}

}  // namespace
