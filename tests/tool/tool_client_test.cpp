// The tool client against a missing tool, a tool that never ends and the real
// veyrith_configure.exe beside the test program.
#include "common/registry_names.h"
#include "common/tool_request.h"
#include "findings/findings.h"
#include "framework/message_box.h"
#include "framework/string_resource.h"
#include "resources/resource.h"
#include "test_support.h"
#include "tool/tool_client.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstring>

using namespace testing_support;

namespace {

struct Box {
    std::string text;
    UINT type;
};

// Answers every message box with OK and keeps what it showed.
class BoxRecorder {
public:
    BoxRecorder() {
        fw::SetMessageBoxHook([this](const std::string& text, UINT type) {
            boxes.push_back({text, type});
            return IDOK;
        });
    }
    ~BoxRecorder() { fw::SetMessageBoxHook(nullptr); }
    std::vector<Box> boxes;
};

std::vector<unsigned char> StoredRequest() { return ReadBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue); }

ToolRequest AsRequest(const std::vector<unsigned char>& bytes) {
    ToolRequest request = {};
    std::memcpy(&request, bytes.data(), bytes.size() < sizeof(request) ? bytes.size() : sizeof(request));
    return request;
}

std::string LongPath(size_t length) { return "C:\\" + std::string(length - 3, 'a'); }

// The processes named veyrith_configure.exe that this process started.
std::vector<DWORD> ToolChildren() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() && lstrcmpiA(entry.szExeFile, "veyrith_configure.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

// True when some handle of this process refers to process processId.
bool HoldsHandleTo(DWORD processId) {
    for (UINT_PTR value = 4; value < 0x4000; value += 4) {
        if (GetProcessId(reinterpret_cast<HANDLE>(value)) == processId) return true;
    }
    return false;
}

void EndProcess(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!process) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

// Every test starts and ends with the real tool beside the test program.
class ToolClient : public ::testing::Test {
protected:
    void SetUp() override { SetToolFolder(BinDir()); }
    void TearDown() override { SetToolFolder(BinDir()); }
};

TEST_F(ToolClient, MissingToolReportsErrorTwoAndEveryCallStoresItsRequest) {
    TempFolder empty;
    SetToolFolder(empty.Path());
    EXPECT_EQ(ToolPath(), empty.Path() + "veyrith_configure.exe");
    BoxRecorder recorder;

    EXPECT_EQ(ToolKill(4321), 0u);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "Error 2");
    EXPECT_EQ(recorder.boxes[0].type, static_cast<UINT>(MB_OK));
    std::vector<unsigned char> stored = StoredRequest();
    ASSERT_EQ(stored.size(), kToolRequestShortSize);
    EXPECT_EQ(AsRequest(stored).id, 4321u);

    // A path of 259 characters fits and is stored whole.
    std::string longest = LongPath(259);
    EXPECT_FALSE(ToolMove(longest.c_str(), "C:\\target.dll"));
    stored = StoredRequest();
    ASSERT_EQ(stored.size(), kToolRequestShortSize);
    EXPECT_EQ(std::string(AsRequest(stored).path), longest);
    EXPECT_EQ(std::string(AsRequest(stored).target), "C:\\target.dll");
    EXPECT_EQ(AsRequest(stored).id, 0u);

    // An autorun entry of win.ini is stored whole but starts no tool.
    CListItemState record = {};
    record.m_autoRun.m_nType = AUTORUN_WININI;
    std::strcpy(record.m_autoRun.m_szValueName, "load");
    EXPECT_EQ(ToolRemoveAutoRun(record), 0u);
    stored = StoredRequest();
    ASSERT_EQ(stored.size(), kToolRequestAutorunSize);
    EXPECT_EQ(std::memcmp(stored.data(), &record.m_autoRun, kToolRequestAutorunSize), 0);
    EXPECT_EQ(recorder.boxes.size(), 2u);
}

TEST_F(ToolClient, PathOverTheFieldIsRefusedAndNothingStored) {
    TempFolder empty;
    SetToolFolder(empty.Path());
    const unsigned char marker[4] = {1, 2, 3, 4};
    ASSERT_TRUE(SetBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue, marker, sizeof(marker)));
    BoxRecorder recorder;
    std::string tooLong = LongPath(260);

    EXPECT_FALSE(ToolCopy("C:\\source.dll", tooLong.c_str()));
    EXPECT_FALSE(ToolDeleteAtReboot(tooLong.c_str()));
    EXPECT_EQ(ToolKillAndDelete(tooLong.c_str(), 99), 0u);
    ToolShowProperties(nullptr, tooLong.c_str());

    ASSERT_EQ(recorder.boxes.size(), 4u);
    for (const Box& box : recorder.boxes) {
        EXPECT_EQ(box.text, fw::LoadResString(IDS_TOOL_PATH_TOO_LONG));
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    }
    EXPECT_FALSE(fw::LoadResString(IDS_TOOL_PATH_TOO_LONG).empty());
    EXPECT_EQ(StoredRequest(), std::vector<unsigned char>(marker, marker + sizeof(marker)));
}

TEST_F(ToolClient, ToolThatNeverEndsFailsAndItsHandleIsClosed) {
    TempFolder folder;
    ASSERT_TRUE(CopyFileA((BinDir() + "idle_process.exe").c_str(), folder.File("veyrith_configure.exe").c_str(), FALSE));
    SetToolFolder(folder.Path());
    BoxRecorder recorder;

    // The probe sees a handle that this process does hold.
    ChildProcess held;
    ASSERT_TRUE(held.Start(Quoted(BinDir() + "idle_process.exe")));
    EXPECT_TRUE(HoldsHandleTo(held.Id()));

    EXPECT_FALSE(ToolCopy("C:\\a.dll", "C:\\b.dll"));

    EXPECT_TRUE(recorder.boxes.empty());
    std::vector<DWORD> children = ToolChildren();
    EXPECT_EQ(children.size(), 1u);
    for (DWORD id : children) {
        EXPECT_FALSE(HoldsHandleTo(id));
        EndProcess(id);
    }
    EXPECT_EQ(StoredRequest().size(), kToolRequestShortSize);
}

TEST_F(ToolClient, RealToolCopiesAndMovesWithTheStoredRequest) {
    TempFolder folder;
    std::string source = folder.File("source.txt");
    std::string copy = folder.File("copy.txt");
    std::string moved = folder.File("moved.txt");
    ASSERT_TRUE(WriteTextFile(source, "payload"));
    BoxRecorder recorder;

    EXPECT_TRUE(ToolCopy(source.c_str(), copy.c_str()));
    EXPECT_EQ(ReadTextFile(copy), "payload");
    EXPECT_TRUE(ToolMove(copy.c_str(), moved.c_str()));
    EXPECT_FALSE(FileExists(copy));
    EXPECT_EQ(ReadTextFile(moved), "payload");
    // The tool refuses to move onto an existing file.
    EXPECT_FALSE(ToolMove(source.c_str(), moved.c_str()));
    EXPECT_TRUE(FileExists(source));

    std::vector<unsigned char> stored = StoredRequest();
    ASSERT_EQ(stored.size(), kToolRequestShortSize);
    EXPECT_EQ(std::string(AsRequest(stored).path), source);
    EXPECT_EQ(std::string(AsRequest(stored).target), moved);
    EXPECT_TRUE(recorder.boxes.empty());
}

}  // namespace
