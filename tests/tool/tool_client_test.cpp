// The tool client against a missing tool, a tool that never ends and the real
// veyrith_configure.exe beside the test program.
#include "common/product.h"
#include "common/system_error.h"
#include "common/tool_request.h"
#include "framework/message_box.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "test_support.h"
#include "tool/tool_client.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstring>

using namespace testing_support;

namespace {

// Records every message box; the tool folder goes back to the real tool.
class ToolClient : public ::testing::Test {
protected:
    void SetUp() override {
        fw::SetMessageBoxHook([this](const std::wstring& text, UINT type) {
            boxes.push_back(Narrow(text) + "/" + std::to_string(type));
            return IDOK;
        });
    }
    void TearDown() override {
        fw::SetMessageBoxHook(nullptr);
        SetToolFolder(Wide(BinDir()));
    }
    std::vector<std::string> boxes;
};

// The box of a tool that is not there: the code, then the system's text.
std::string MissingToolBox() { return "Error 2: " + Narrow(SystemErrorText(ERROR_FILE_NOT_FOUND)) + "/0"; }

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

TEST_F(ToolClient, MissingToolLongPathsAndTheStoredRequests) {
    TempFolder empty;
    SetToolFolder(Wide(empty.Path()));
    EXPECT_EQ(ToolKill(4321, L"C:\\x.exe"), 0u);
    EXPECT_EQ(Stored(kToolRequestShortSize).id, 4321u);
    std::wstring longest = L"C:\\" + std::wstring(256, L'\u0436');
    EXPECT_FALSE(ToolMove(longest.c_str(), L"C:\\b.dll"));
    EXPECT_EQ(std::wstring(Stored(kToolRequestShortSize).path), longest);
    EXPECT_EQ(boxes, std::vector<std::string>(2, MissingToolBox()));

    // One character more is refused before anything is stored or started.
    CListItemState record = {};
    record.m_autoRun.m_nType = AUTORUN_WININI;
    EXPECT_EQ(ToolRemoveAutoRun(record, false), 0u);
    Stored(kToolRequestAutorunSize);
    std::wstring tooLong = longest + L"a";
    EXPECT_FALSE(ToolCopy(L"C:\\b.dll", tooLong.c_str()));
    ToolShowProperties(nullptr, tooLong.c_str());
    Stored(kToolRequestAutorunSize);
    std::string refusal = Narrow(LoadResString(IDS_TOOL_PATH_TOO_LONG)) + "/" + std::to_string(MB_ICONSTOP);
    EXPECT_EQ(boxes, (std::vector<std::string>{MissingToolBox(), MissingToolBox(), refusal, refusal}));
}

TEST_F(ToolClient, ToolThatNeverEndsFailsAndItsHandleIsClosed) {
    TempFolder folder;
    ASSERT_TRUE(CopyFileA((BinDir() + "idle_process.exe").c_str(), folder.File("veyrith_configure.exe").c_str(), FALSE));
    SetToolFolder(Wide(folder.Path()));
    ChildProcess held;  // shows that the probe sees a handle that is held
    ASSERT_TRUE(held.Start(Quoted(BinDir() + "idle_process.exe")));
    EXPECT_TRUE(HoldsHandleTo(held.Id()));

    EXPECT_FALSE(ToolCopy(L"C:\\a.dll", L"C:\\b.dll"));
    EXPECT_TRUE(boxes.empty());
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

// The tool itself in a folder named in CJK letters, the files in one named
// in Cyrillic: every name reaches the tool and the file system unchanged. A
// backup goes into the quarantine beside the tool and comes back only to
// where it came from, never over a file.
TEST_F(ToolClient, RealToolBacksUpAndRestoresFilesOfAnyName) {
    TempFolder folder;
    const std::wstring toolFolder = Wide(folder.Path()) + L"\u5de5\u5177\\";
    const std::wstring files = Wide(folder.Path()) + L"\u0444\u0430\u0439\u043b\u044b\\";
    ASSERT_TRUE(CreateDirectoryW(toolFolder.c_str(), nullptr) && CreateDirectoryW(files.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(Wide(BinDir() + "veyrith_configure.exe").c_str(),
                          (toolFolder + L"veyrith_configure.exe").c_str(), FALSE));
    SetToolFolder(toolFolder);
    const std::wstring source = files + L"\u0438\u0441\u0445\u043e\u0434.txt";
    const std::wstring copy = toolFolder + L"Quarantined\\\u76d1.txt";
    ASSERT_TRUE(WriteTextFile(source, "payload"));
    EXPECT_TRUE(ToolCopy(source.c_str(), copy.c_str()));
    EXPECT_FALSE(ToolMove(copy.c_str(), source.c_str()));  // onto the file that is still there
    ASSERT_TRUE(DeleteFileW(source.c_str()));
    EXPECT_TRUE(ToolMove(copy.c_str(), source.c_str()));
    EXPECT_FALSE(FileExists(copy));
    EXPECT_EQ(ReadTextFile(source), "payload");
    EXPECT_EQ(std::wstring(Stored(kToolRequestShortSize).target), source);
    EXPECT_TRUE(boxes.empty());
}

// An autorun entry whose value name did not fit its field carries no root
// key: the request is stored but the tool is never started for it.
TEST_F(ToolClient, AnEntryWithoutAWholeNameIsNeverSent) {
    TempFolder empty;
    SetToolFolder(Wide(empty.Path()));
    CListItemState record = {};
    record.m_autoRun.m_nType = AUTORUN_REGISTRY;
    wcscpy(record.m_autoRun.m_szLocation, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(ToolRemoveAutoRun(record, false), 0u);
    record.m_autoRun.m_nType = AUTORUN_SHORTCUT;
    record.m_autoRun.m_szLocation[0] = L'\0';
    EXPECT_EQ(ToolRemoveAutoRun(record, true), 0u);
    EXPECT_TRUE(boxes.empty()) << "a missing tool was started";
}

}  // namespace
