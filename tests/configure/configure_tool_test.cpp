// Drives the real veyrith_configure.exe with requests stored in the registry.
#include "common/registry_names.h"
#include "test_support.h"
#include "common/tool_request.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_support;

namespace {

const char kPendingKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kTestRunKey[] = "Software\\Tarnwick\\VeyrithToolTest\\Run";

bool SetMultiStringValue(HKEY root, const char* key, const char* name,
                         const std::vector<unsigned char>& data) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return false;
    LONG status = RegSetValueExA(h, name, 0, REG_MULTI_SZ, data.data(),
                                 static_cast<DWORD>(data.size()));
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

// The strings of a REG_MULTI_SZ read as bytes, empty ones included.
std::vector<std::string> SplitMultiString(const std::vector<unsigned char>& data) {
    std::vector<std::string> strings(1);
    for (unsigned char c : data) {
        if (c == 0) strings.emplace_back();
        else strings.back() += static_cast<char>(c);
    }
    strings.pop_back();
    return strings;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class ConfigureTool : public ::testing::Test {
protected:
    void SetUp() override { DeleteValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue); }
    void TearDown() override {
        DeleteValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
        DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Tarnwick\\VeyrithToolTest");
    }

    static std::string ToolPath() { return BinDir() + "veyrith_configure.exe"; }

    // Stores the first `size` bytes of the request, as veyrith does.
    void Store(const ToolRequest& request, DWORD size) {
        m_stored.assign(reinterpret_cast<const unsigned char*>(&request),
                        reinterpret_cast<const unsigned char*>(&request) + size);
        ASSERT_TRUE(SetBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue,
                                   m_stored.data(), size));
    }

    void StoreBytes(const std::vector<unsigned char>& bytes) {
        m_stored = bytes;
        ASSERT_TRUE(SetBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue,
                                   bytes.data(), static_cast<DWORD>(bytes.size())));
    }

    // Runs the tool with the given parameter string and checks that the
    // stored request came back untouched.
    DWORD Run(const std::string& parameters, const std::string& tool = ToolPath()) {
        DWORD code = RunToEnd(Quoted(tool) + " " + parameters, 30000);
        if (!m_stored.empty()) {
            EXPECT_EQ(ReadBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue), m_stored)
                << "the tool changed the stored request";
        }
        return code;
    }

    static ToolRequest PathRequest(const std::string& path, const std::string& target = "") {
        ToolRequest r = {};
        lstrcpynA(r.path, path.c_str(), sizeof(r.path));
        lstrcpynA(r.target, target.c_str(), sizeof(r.target));
        return r;
    }

    std::vector<unsigned char> m_stored;
    TempFolder m_dir;
};

TEST_F(ConfigureTool, WithoutKeyOrValueEverySwitchDoesNothing) {
    WriteTextFile(m_dir.File("a.txt"), "a");
    DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
    for (const char* s : {"-kill", "-kill_del", "-move_reboot", "-move", "-copy", "-reg_autorun"})
        EXPECT_EQ(Run(s), 0u) << s;
    // A key without the value is the same.
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, kProgramKey, "Other", "x"));
    EXPECT_EQ(Run("-copy"), 0u);
    EXPECT_TRUE(FileExists(m_dir.File("a.txt")));
}

TEST_F(ConfigureTool, MoveAndCopyFollowTheSwitchInAnyCase) {
    WriteTextFile(m_dir.File("a.txt"), "first");
    Store(PathRequest(m_dir.File("a.txt"), m_dir.File("b.txt")), kToolRequestShortSize);
    EXPECT_EQ(Run("-COPY"), 1u);
    EXPECT_EQ(ReadTextFile(m_dir.File("b.txt")), "first");

    // -copy replaces an existing target.
    WriteTextFile(m_dir.File("a.txt"), "second");
    EXPECT_EQ(Run("-copy"), 1u);
    EXPECT_EQ(ReadTextFile(m_dir.File("b.txt")), "second");

    // -move onto an existing file fails and leaves both files alone.
    EXPECT_EQ(Run("-move"), 0u);
    EXPECT_EQ(ReadTextFile(m_dir.File("a.txt")), "second");
    EXPECT_EQ(ReadTextFile(m_dir.File("b.txt")), "second");

    Store(PathRequest(m_dir.File("a.txt"), m_dir.File("c.txt")), kToolRequestShortSize);
    EXPECT_EQ(Run("-Move"), 1u);
    EXPECT_FALSE(FileExists(m_dir.File("a.txt")));
    EXPECT_EQ(ReadTextFile(m_dir.File("c.txt")), "second");
}

TEST_F(ConfigureTool, TrailingBlankOrUnknownSwitchDoesNothing) {
    WriteTextFile(m_dir.File("a.txt"), "a");
    Store(PathRequest(m_dir.File("a.txt"), m_dir.File("b.txt")), kToolRequestShortSize);
    EXPECT_EQ(Run("-copy "), 0u);
    EXPECT_EQ(Run("-copy now"), 0u);
    EXPECT_EQ(Run("-copies"), 0u);
    EXPECT_EQ(Run(""), 0u);
    EXPECT_FALSE(FileExists(m_dir.File("b.txt")));
}

TEST_F(ConfigureTool, QuotedProgramNameWithBlanks) {
    TempFolder spaced;
    std::string folder = spaced.Path() + "with blank\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string tool = folder + "veyrith_configure.exe";
    ASSERT_TRUE(CopyFileA(ToolPath().c_str(), tool.c_str(), FALSE));
    WriteTextFile(m_dir.File("a.txt"), "a");
    Store(PathRequest(m_dir.File("a.txt"), m_dir.File("b.txt")), kToolRequestShortSize);
    EXPECT_EQ(Run("-copy", tool), 1u);
    EXPECT_TRUE(FileExists(m_dir.File("b.txt")));
}

TEST_F(ConfigureTool, OversizedOrShortRequests) {
    WriteTextFile(m_dir.File("a.txt"), "a");
    ToolRequest r = PathRequest(m_dir.File("a.txt"), m_dir.File("b.txt"));
    std::vector<unsigned char> big(1025, 0);
    std::memcpy(big.data(), &r, sizeof(r));
    StoreBytes(big);
    EXPECT_EQ(Run("-copy"), 0u);
    EXPECT_FALSE(FileExists(m_dir.File("b.txt")));

    // Exactly 1024 bytes is still read.
    big.resize(1024);
    StoreBytes(big);
    EXPECT_EQ(Run("-copy"), 1u);
    EXPECT_TRUE(FileExists(m_dir.File("b.txt")));

    // A 4-byte request reads both paths as empty: the move fails.
    Store(r, 4);
    EXPECT_EQ(Run("-move"), 0u);
    EXPECT_TRUE(FileExists(m_dir.File("a.txt")));
}

TEST_F(ConfigureTool, KillEndsAChildAndFailsOnAMissingProcess) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(Quoted(BinDir() + "idle_process.exe")));
    ToolRequest r = {};
    r.id = child.Id();
    Store(r, kToolRequestShortSize);
    EXPECT_EQ(Run("-kill"), 1u);
    DWORD code = 0;
    ASSERT_TRUE(child.Wait(5000, &code));
    EXPECT_EQ(code, 0xFFFFFFFFu);

    EXPECT_FALSE(ProcessExists(child.Id()));

    // An id that names no process.
    r.id = 0xFFFFFFF0;
    Store(r, kToolRequestShortSize);
    EXPECT_EQ(Run("-kill"), 0u);
}

TEST_F(ConfigureTool, KillDeleteEndsTheProcessThenDeletesItsFile) {
    std::string exe = m_dir.File("victim.exe");
    ASSERT_TRUE(CopyFileA((BinDir() + "idle_process.exe").c_str(), exe.c_str(), FALSE));
    ChildProcess child;
    ASSERT_TRUE(child.Start(Quoted(exe)));
    ToolRequest r = PathRequest(exe);
    r.id = child.Id();
    Store(r, kToolRequestShortSize);
    EXPECT_EQ(Run("-kill_del"), 1u);
    EXPECT_TRUE(child.Wait(5000));
    EXPECT_FALSE(FileExists(exe));

    // Process gone but file missing: the deletion fails, so does the run.
    ChildProcess second;
    ASSERT_TRUE(second.Start(Quoted(BinDir() + "idle_process.exe")));
    r = PathRequest(m_dir.File("missing.exe"));
    r.id = second.Id();
    Store(r, kToolRequestShortSize);
    EXPECT_EQ(Run("-kill_del"), 0u);
    EXPECT_TRUE(second.Wait(5000));
}

TEST_F(ConfigureTool, MoveRebootRegistersAPendingDeletion) {
    std::vector<unsigned char> before =
        ReadBinaryValue(HKEY_LOCAL_MACHINE, kPendingKey, "PendingFileRenameOperations");
    std::string file = m_dir.File("pending.txt");
    WriteTextFile(file, "x");
    Store(PathRequest(file), kToolRequestShortSize);
    EXPECT_EQ(Run("-move_reboot"), 1u);
    std::vector<unsigned char> after =
        ReadBinaryValue(HKEY_LOCAL_MACHINE, kPendingKey, "PendingFileRenameOperations");
    // A REG_MULTI_SZ of source/target pairs, read here as ANSI: the file
    // must be a source whose target is empty, i.e. a deletion, not a rename.
    std::vector<std::string> strings = SplitMultiString(after);
    bool deletion = false;
    for (size_t i = 0; i + 1 < strings.size(); i += 2)
        if (EndsWith(strings[i], "pending.txt")) deletion = strings[i + 1].empty();
    EXPECT_TRUE(deletion);
    EXPECT_TRUE(FileExists(file));

    // Leave the prefix's pending list as it was.
    if (before.empty())
        DeleteValue(HKEY_LOCAL_MACHINE, kPendingKey, "PendingFileRenameOperations");
    else
        SetMultiStringValue(HKEY_LOCAL_MACHINE, kPendingKey, "PendingFileRenameOperations",
                            before);
}

TEST_F(ConfigureTool, RegAutorunRemovesOnlyTheNamedEntry) {
    for (const char* name : {"First", "Target", "Last"})
        ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, kTestRunKey, name, "c:\\x.exe"));
    ToolRequest r = {};
    r.id = 1;
    lstrcpyA(r.path, kTestRunKey);
    r.rootKey = 0x80000001;
    lstrcpyA(r.valueName, "Target");
    Store(r, kToolRequestAutorunSize);
    EXPECT_EQ(Run("-reg_autorun"), 1u);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kTestRunKey, "Target"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kTestRunKey, "First"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kTestRunKey, "Last"));
    // The value is gone now, so a second run fails.
    EXPECT_EQ(Run("-reg_autorun"), 0u);

    // Kinds 0 and 3 succeed without touching anything.
    lstrcpyA(r.valueName, "First");
    for (DWORD kind : {0u, 3u}) {
        r.id = kind;
        Store(r, kToolRequestAutorunSize);
        EXPECT_EQ(Run("-reg_autorun"), 1u) << kind;
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kTestRunKey, "First")) << kind;
    }
}

TEST_F(ConfigureTool, RegAutorunKindTwoDeletesTheShortcutFile) {
    std::string lnk = m_dir.File("spy.lnk");
    WriteTextFile(lnk, "not really a shortcut");
    ToolRequest r = PathRequest(lnk);
    r.id = 2;
    Store(r, kToolRequestAutorunSize);
    EXPECT_EQ(Run("-reg_autorun"), 1u);
    EXPECT_FALSE(FileExists(lnk));
    EXPECT_EQ(Run("-reg_autorun"), 0u);
}

TEST_F(ConfigureTool, InfoOnAMissingFileEndsAfterAboutThreeSeconds) {
    Store(PathRequest(m_dir.File("does-not-exist.exe")), kToolRequestShortSize);
    DWORD start = GetTickCount();
    EXPECT_EQ(Run("-info"), 0u);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 2900u);
    EXPECT_LT(elapsed, 15000u);
}

}  // namespace
