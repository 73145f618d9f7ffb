// Drives the real veyrith_configure.exe with requests stored in the registry.
#include "common/product.h"
#include "common/request_digest.h"
#include "test_support.h"
#include "common/tool_request.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <cstring>

using namespace testing_support;

namespace {

const char kPendingKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kTestRunKey[] = "Software\\Tarnwick\\VeyrithToolTest\\Run";
// The user's Run key, where the tool may delete values.
const char kUserRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool SetMultiStringValue(HKEY root, const char* key, const char* name,
                         const std::vector<unsigned char>& data) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return false;
    LONG status = RegSetValueExA(h, name, 0, REG_MULTI_SZ, data.data(),
                                 static_cast<DWORD>(data.size()));
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

// The strings of a REG_MULTI_SZ read in UTF-16, empty ones included.
std::vector<std::wstring> ReadMultiString(HKEY root, const char* key, const char* name) {
    std::vector<std::wstring> strings(1);
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return {};
    DWORD size = 0;
    std::wstring data;
    std::wstring wideName = Wide(name);
    if (RegQueryValueExW(h, wideName.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        RegQueryValueExW(h, wideName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size / sizeof(wchar_t));
    }
    RegCloseKey(h);
    for (wchar_t c : data) {
        if (c == 0) strings.emplace_back();
        else strings.back() += c;
    }
    strings.pop_back();
    return strings;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A REG_SZ value under HKEY_CURRENT_USER whose name holds any character.
bool SetWideValue(const char* key, const std::wstring& name) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr)) return false;
    LONG status = RegSetValueExW(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L"c:\\x.exe"),
                                 sizeof(L"c:\\x.exe"));
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

bool WideValueExists(const char* key, const std::wstring& name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    LONG status = RegQueryValueExW(h, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

std::string DigestOf(const std::vector<unsigned char>& bytes) {
    return RequestDigest(bytes.data(), static_cast<DWORD>(bytes.size()));
}

// Runs a command line to its end with the running user's token less
// SeDebugPrivilege, as a standard user runs; the exit code, or 0xDEADBEEF.
DWORD RunAsStandardUser(const std::string& commandLine) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY,
                          &token))
        return 0xDEADBEEF;
    LUID_AND_ATTRIBUTES debug = {};
    HANDLE restricted = nullptr;
    bool made = LookupPrivilegeValueA(nullptr, SE_DEBUG_NAME, &debug.Luid) &&
                CreateRestrictedToken(token, 0, 0, nullptr, 1, &debug, 0, nullptr, &restricted);
    CloseHandle(token);
    if (!made) return 0xDEADBEEF;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    BOOL started = CreateProcessAsUserA(restricted, nullptr, line.data(), nullptr, nullptr, FALSE,
                                        0, nullptr, nullptr, &startup, &info);
    CloseHandle(restricted);
    if (!started) return 0xDEADBEEF;
    DWORD code = 0xDEADBEEF;
    if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return code;
}

class ConfigureTool : public ::testing::Test {
protected:
    // The tool runs from a program folder of its own, where it keeps its
    // quarantine.
    void SetUp() override {
        DeleteValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
        ASSERT_TRUE(CopyFileA((BinDir() + "veyrith_configure.exe").c_str(), ToolPath().c_str(), FALSE));
    }
    void TearDown() override {
        DeleteValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue);
        for (const wchar_t* name : m_runValues) RegDeleteKeyValueW(HKEY_CURRENT_USER, Wide(kUserRunKey).c_str(), name);
        DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Tarnwick\\VeyrithToolTest");
        DeleteKeyTree(HKEY_CLASSES_ROOT, "VeyrithToolTest");
    }

    std::string ToolPath() const { return m_program.Path() + "veyrith_configure.exe"; }
    std::string InQuarantine(const std::string& name) const { return m_program.Path() + "Quarantined\\" + name; }

    // Backs the file up through the tool, as every deletion must be.
    void BackUp(const std::wstring& path, const std::string& copyName) {
        ASSERT_EQ(StoreAndRun("-copy", PathRequest(path, Wide(InQuarantine(copyName))), kToolRequestShortSize), 1u);
    }
    void BackUp(const std::string& path, const std::string& copyName) { BackUp(Wide(path), copyName); }

    // Stores the first `size` bytes of the request, as veyrith does.
    void Store(const ToolRequest& request, DWORD size) {
        m_stored.assign(reinterpret_cast<const unsigned char*>(&request),
                        reinterpret_cast<const unsigned char*>(&request) + size);
        ASSERT_TRUE(SetBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue,
                                   m_stored.data(), size));
    }

    // Stores the bytes under the given registry type; m_stored gets them as
    // the tool reads them back (as they are when they are too long to read).
    void StoreBytes(const std::vector<unsigned char>& bytes, DWORD type = REG_BINARY) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        LONG set = RegSetValueExA(key, kConfigureValue, 0, type, bytes.data(),
                                  static_cast<DWORD>(bytes.size()));
        m_stored.assign(kToolRequestBufferSize, 0);
        DWORD size = kToolRequestBufferSize;
        LONG read = RegQueryValueExA(key, kConfigureValue, nullptr, nullptr, m_stored.data(), &size);
        RegCloseKey(key);
        ASSERT_EQ(set, ERROR_SUCCESS);
        if (read == ERROR_SUCCESS) m_stored.resize(size);
        else m_stored = bytes;
    }

    // Runs the tool with the given parameter string and checks that the
    // stored request came back untouched.
    DWORD Run(const std::string& parameters, std::string tool = std::string()) {
        if (tool.empty()) tool = ToolPath();
        DWORD code = RunToEnd(Quoted(tool) + " " + parameters, 30000);
        if (!m_stored.empty()) {
            EXPECT_EQ(ReadBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue), m_stored)
                << "the tool changed the stored request";
        }
        return code;
    }

    // Runs the tool as veyrith launches it: "<switch> <digest of the stored value>".
    DWORD RunBound(const std::string& switchName, const std::string& tool = std::string()) {
        return Run(switchName + " " + DigestOf(m_stored), tool);
    }

    // Stores the first `size` bytes of the request and runs the tool bound to them.
    DWORD StoreAndRun(const std::string& switchName, const ToolRequest& request, DWORD size) {
        Store(request, size);
        return RunBound(switchName);
    }

    static ToolRequest PathRequest(const std::wstring& path, const std::wstring& target = std::wstring()) {
        ToolRequest r = {};
        lstrcpynW(r.path, path.c_str(), 260);
        lstrcpynW(r.target, target.c_str(), 260);
        return r;
    }
    static ToolRequest PathRequest(const std::string& path, const std::string& target = "") {
        return PathRequest(Wide(path), Wide(target));
    }

    static ToolRequest KillRequest(DWORD processId, const std::string& image) {
        ToolRequest r = PathRequest(std::string(), image);
        r.id = processId;
        return r;
    }

    std::vector<unsigned char> m_stored;
    std::vector<const wchar_t*> m_runValues;
    TempFolder m_dir, m_program;
};

TEST_F(ConfigureTool, WithoutKeyOrValueEverySwitchDoesNothing) {
    WriteTextFile(m_dir.File("a.txt"), "a");
    ToolRequest r = PathRequest(m_dir.File("a.txt"), m_dir.File("b.txt"));
    std::string digest = RequestDigest(&r, kToolRequestShortSize);
    DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
    for (const char* s : {"-kill", "-kill_del", "-move_reboot", "-move", "-copy", "-reg_autorun"})
        EXPECT_EQ(Run(std::string(s) + " " + digest), 0u) << s;
    // A key without the value is the same.
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, kProgramKey, "Other", "x"));
    EXPECT_EQ(Run("-copy " + digest), 0u);
    EXPECT_TRUE(FileExists(m_dir.File("a.txt")));
    EXPECT_FALSE(FileExists(m_dir.File("b.txt")));
}

// A copy goes only into the quarantine beside the tool, under a free name,
// and is recorded; it comes back only to the origin its record names, when
// nothing stands there; only a recorded copy is deleted.
TEST_F(ConfigureTool, CopiesOnlyIntoTheQuarantineAndRestoresOnlyToTheOrigin) {
    const std::string a = m_dir.File("a.txt");
    WriteTextFile(a, "first");
    EXPECT_EQ(StoreAndRun("-COPY", PathRequest(a, InQuarantine("a.txt")), kToolRequestShortSize), 1u);
    EXPECT_EQ(ReadTextFile(InQuarantine("a.txt")), "first");
    EXPECT_NE(ReadTextFile(InQuarantine("index.dat")).find("a.txt"), std::string::npos);
    // Never over a file, never outside the quarantine, never a name that
    // climbs out of it or names the index.
    WriteTextFile(a, "second");
    for (const std::string& target : {InQuarantine("a.txt"), m_dir.File("b.txt"), InQuarantine("..\\escape.txt"),
                                      InQuarantine("index.dat")})
        EXPECT_EQ(StoreAndRun("-copy", PathRequest(a, target), kToolRequestShortSize), 0u) << target;
    EXPECT_EQ(ReadTextFile(InQuarantine("a.txt")), "first");
    EXPECT_FALSE(FileExists(m_dir.File("b.txt")) || FileExists(m_program.File("escape.txt")));

    // Restore: not elsewhere, not over the file that is there, not a file
    // that no record names.
    EXPECT_EQ(StoreAndRun("-move", PathRequest(InQuarantine("a.txt"), m_dir.File("c.txt")), kToolRequestShortSize), 0u);
    EXPECT_EQ(StoreAndRun("-move", PathRequest(InQuarantine("a.txt"), a), kToolRequestShortSize), 0u);
    EXPECT_EQ(StoreAndRun("-move", PathRequest(a, m_dir.File("d.txt")), kToolRequestShortSize), 0u);
    EXPECT_EQ(ReadTextFile(a), "second");
    ASSERT_TRUE(DeleteFileA(a.c_str()));
    EXPECT_EQ(StoreAndRun("-Move", PathRequest(InQuarantine("a.txt"), a), kToolRequestShortSize), 1u);
    EXPECT_EQ(ReadTextFile(a), "first");
    EXPECT_FALSE(FileExists(InQuarantine("a.txt")) || FileExists(m_dir.File("c.txt")));
    EXPECT_EQ(ReadTextFile(InQuarantine("index.dat")), "");

    // Delete: the recorded copy and its record; the index itself is no copy.
    BackUp(a, "again.txt");
    EXPECT_EQ(StoreAndRun("-delete_copy", PathRequest(InQuarantine("index.dat")), kToolRequestShortSize), 0u);
    EXPECT_TRUE(FileExists(InQuarantine("index.dat")));
    EXPECT_EQ(StoreAndRun("-delete_copy", PathRequest(InQuarantine("again.txt")), kToolRequestShortSize), 1u);
    EXPECT_FALSE(FileExists(InQuarantine("again.txt")));
    EXPECT_EQ(ReadTextFile(InQuarantine("index.dat")), "");
}

// Records whose copy names climb out of the quarantine are damaged: the
// tool neither restores nor deletes anything for them.
TEST_F(ConfigureTool, DamagedRecordsMoveAndDeleteNothing) {
    const std::string outside = m_dir.File("outside.txt");
    WriteTextFile(outside, "keep me");
    CreateDirectoryA(InQuarantine("").c_str(), nullptr);
    ASSERT_TRUE(WriteTextFile(InQuarantine("index.dat"),
                              "0000AAAA\r\n" + InQuarantine("../../" + outside.substr(3)) + "\r\n" + m_dir.File("back.txt") +
                                  "\r\n"));
    for (const char* toolSwitch : {"-move", "-delete_copy"}) {
        ToolRequest r = PathRequest(InQuarantine("../../" + outside.substr(3)), m_dir.File("back.txt"));
        EXPECT_EQ(StoreAndRun(toolSwitch, r, kToolRequestShortSize), 0u) << toolSwitch;
    }
    EXPECT_EQ(ReadTextFile(outside), "keep me");
    EXPECT_FALSE(FileExists(m_dir.File("back.txt")));
}

TEST_F(ConfigureTool, ALaunchNotBoundToTheStoredRequestDoesNothing) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(Quoted(BinDir() + "idle_process.exe")));
    ToolRequest kill = KillRequest(child.Id(), BinDir() + "idle_process.exe");
    Store(kill, kToolRequestShortSize);
    // No digest, another digest, the right one with more after it.
    std::string digest = DigestOf(m_stored);
    for (const std::string& parameters : {std::string("-kill"), "-kill " + std::string(40, '0'),
                                          "-kill " + digest + " "})
        EXPECT_EQ(Run(parameters), 0u) << parameters;
    EXPECT_TRUE(child.Running());

    // A request swapped in after veyrith computed the digest of its own.
    WriteTextFile(m_dir.File("a.txt"), "a");
    Store(PathRequest(m_dir.File("a.txt"), m_dir.File("b.txt")), kToolRequestShortSize);
    std::string moveDigest = DigestOf(m_stored);
    Store(PathRequest(m_dir.File("a.txt"), m_dir.File("c.txt")), kToolRequestShortSize);
    EXPECT_EQ(Run("-move " + moveDigest), 0u);
    EXPECT_TRUE(FileExists(m_dir.File("a.txt")));
    EXPECT_FALSE(FileExists(m_dir.File("b.txt")));
    EXPECT_FALSE(FileExists(m_dir.File("c.txt")));

    // The same process, bound properly, is ended.
    EXPECT_EQ(StoreAndRun("-kill", kill, kToolRequestShortSize), 1u);
    EXPECT_TRUE(child.Wait(5000));
}

TEST_F(ConfigureTool, QuotedProgramNameWithBlanks) {
    TempFolder spaced;
    std::string folder = spaced.Path() + "with blank\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string tool = folder + "veyrith_configure.exe";
    ASSERT_TRUE(CopyFileA(ToolPath().c_str(), tool.c_str(), FALSE));
    WriteTextFile(m_dir.File("a.txt"), "a");
    Store(PathRequest(m_dir.File("a.txt"), folder + "Quarantined\\b.txt"), kToolRequestShortSize);
    EXPECT_EQ(RunBound("-copy", tool), 1u);
    EXPECT_TRUE(FileExists(folder + "Quarantined\\b.txt"));
}

TEST_F(ConfigureTool, OnlyAWellFormedRequestOfTheSwitchsSizeIsUsed) {
    WriteTextFile(m_dir.File("a.txt"), "a");
    ToolRequest r = PathRequest(m_dir.File("a.txt"), InQuarantine("b.txt"));
    std::vector<unsigned char> bytes(kToolRequestBufferSize + 1, 0);
    std::memcpy(bytes.data(), &r, sizeof(r));
    // Too long, as long as the tool reads, the whole record, a record cut
    // inside the target, the id alone.
    for (size_t size : {size_t(kToolRequestBufferSize + 1), size_t(kToolRequestBufferSize),
                        size_t(kToolRequestAutorunSize), size_t(600), size_t(4)}) {
        bytes.resize(size);
        StoreBytes(bytes);
        EXPECT_EQ(RunBound("-copy"), 0u) << size;
    }
    // The right bytes under another registry type.
    const unsigned char* record = reinterpret_cast<const unsigned char*>(&r);
    bytes.assign(record, record + kToolRequestShortSize);
    StoreBytes(bytes, REG_SZ);
    ASSERT_EQ(m_stored, bytes);
    EXPECT_EQ(RunBound("-copy"), 0u);
    EXPECT_FALSE(FileExists(InQuarantine("b.txt")));

    // A process identifier stored as a number.
    ChildProcess child;
    ASSERT_TRUE(child.Start(Quoted(BinDir() + "idle_process.exe")));
    ToolRequest kill = KillRequest(child.Id(), BinDir() + "idle_process.exe");
    const unsigned char* id = reinterpret_cast<const unsigned char*>(&kill.id);
    StoreBytes(std::vector<unsigned char>(id, id + sizeof(kill.id)), REG_DWORD);
    EXPECT_EQ(RunBound("-kill"), 0u);
    // The whole record is for -reg_autorun only, the short one for the others.
    EXPECT_EQ(StoreAndRun("-kill", kill, kToolRequestAutorunSize), 0u);
    EXPECT_TRUE(child.Running());
    ToolRequest noKind = {};
    noKind.id = 3;
    EXPECT_EQ(StoreAndRun("-reg_autorun", noKind, kToolRequestShortSize), 0u);
    EXPECT_EQ(StoreAndRun("-reg_autorun", noKind, kToolRequestAutorunSize), 1u);
}

// The process of a system process's image, found by its file name.
DWORD FindSystemProcess(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        if (!lstrcmpiW(entry.szExeFile, name)) found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

std::string SystemFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

// A process is ended only when it runs the image the request names, and
// never when the system needs it.
TEST_F(ConfigureTool, KillEndsOnlyTheNamedImageAndNoSystemProcess) {
    const std::string idle = BinDir() + "idle_process.exe";
    ChildProcess child;
    ASSERT_TRUE(child.Start(Quoted(idle)));
    EXPECT_EQ(StoreAndRun("-kill", KillRequest(child.Id(), m_dir.File("idle_process.exe")), kToolRequestShortSize), 0u);
    EXPECT_EQ(StoreAndRun("-kill", KillRequest(child.Id(), ""), kToolRequestShortSize), 0u);
    EXPECT_TRUE(child.Running());
    EXPECT_EQ(StoreAndRun("-kill", KillRequest(child.Id(), idle), kToolRequestShortSize), 1u);
    DWORD code = 0;
    ASSERT_TRUE(child.Wait(5000, &code));
    EXPECT_EQ(code, 0xFFFFFFFFu);
    // An id that names no process.
    EXPECT_EQ(StoreAndRun("-kill", KillRequest(0xFFFFFFF0, idle), kToolRequestShortSize), 0u);

    DWORD services = FindSystemProcess(L"services.exe");
    ASSERT_NE(services, 0u);
    EXPECT_EQ(StoreAndRun("-kill", KillRequest(services, SystemFile("services.exe")), kToolRequestShortSize), 0u);
    EXPECT_TRUE(ProcessExists(services));
}

// A file is deleted only when the quarantine holds a copy with its bytes:
// without one the process is not ended either.
TEST_F(ConfigureTool, KillDeleteNeedsABackupOfTheFile) {
    std::string exe = m_dir.File("victim.exe");
    ASSERT_TRUE(CopyFileA((BinDir() + "idle_process.exe").c_str(), exe.c_str(), FALSE));
    ChildProcess child;
    ASSERT_TRUE(child.Start(Quoted(exe)));
    ToolRequest r = PathRequest(exe, exe);
    r.id = child.Id();
    EXPECT_EQ(StoreAndRun("-kill_del", r, kToolRequestShortSize), 0u);
    EXPECT_TRUE(child.Running());
    EXPECT_TRUE(FileExists(exe));

    BackUp(exe, "victim.exe");
    EXPECT_EQ(StoreAndRun("-kill_del", r, kToolRequestShortSize), 1u);
    EXPECT_TRUE(child.Wait(5000));
    EXPECT_FALSE(FileExists(exe));
}

TEST_F(ConfigureTool, AStandardUserEndsTheirOwnProcesses) {
    std::string exe = m_dir.File("victim.exe");
    ASSERT_TRUE(CopyFileA((BinDir() + "idle_process.exe").c_str(), exe.c_str(), FALSE));
    ChildProcess first;
    ChildProcess second;
    ASSERT_TRUE(first.Start(Quoted(BinDir() + "idle_process.exe")));
    ASSERT_TRUE(second.Start(Quoted(exe)));

    Store(KillRequest(first.Id(), BinDir() + "idle_process.exe"), kToolRequestShortSize);
    EXPECT_EQ(RunAsStandardUser(Quoted(ToolPath()) + " -kill " + DigestOf(m_stored)), 1u);
    EXPECT_TRUE(first.Wait(5000));

    BackUp(exe, "victim.exe");
    ToolRequest r = PathRequest(exe, exe);
    r.id = second.Id();
    Store(r, kToolRequestShortSize);
    EXPECT_EQ(RunAsStandardUser(Quoted(ToolPath()) + " -kill_del " + DigestOf(m_stored)), 1u);
    EXPECT_TRUE(second.Wait(5000));
    EXPECT_FALSE(FileExists(exe));
}

TEST_F(ConfigureTool, MoveRebootRegistersAPendingDeletionOfABackedUpFile) {
    std::vector<unsigned char> before =
        ReadBinaryValue(HKEY_LOCAL_MACHINE, kPendingKey, "PendingFileRenameOperations");
    const std::wstring name = L"\u043e\u0442\u043b\u043e\u0436\u0435\u043d \u76d1.txt";
    std::wstring file = Wide(m_dir.Path()) + name;
    WriteTextFile(file, "x");
    // Without a backup, and with a backup of other bytes, nothing is registered.
    EXPECT_EQ(StoreAndRun("-move_reboot", PathRequest(file), kToolRequestShortSize), 0u);
    BackUp(file, "pending.txt");
    WriteTextFile(file, "changed since");
    EXPECT_EQ(StoreAndRun("-move_reboot", PathRequest(file), kToolRequestShortSize), 0u);
    WriteTextFile(file, "x");
    EXPECT_EQ(StoreAndRun("-move_reboot", PathRequest(file), kToolRequestShortSize), 1u);
    // A REG_MULTI_SZ of source/target pairs: the file, by its real name,
    // must be a source whose target is empty, i.e. a deletion, not a rename.
    std::vector<std::wstring> strings =
        ReadMultiString(HKEY_LOCAL_MACHINE, kPendingKey, "PendingFileRenameOperations");
    bool deletion = false;
    for (size_t i = 0; i + 1 < strings.size(); i += 2)
        if (EndsWith(strings[i], L"\\" + name)) deletion = strings[i + 1].empty();
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
    // The target is named in Cyrillic; beside it a value named with as many
    // question marks, which a conversion to the code page would have named.
    const std::wstring target = L"\u0428\u043f\u0438\u043e\u043d VeyrithToolTest";
    const std::wstring lookalike = L"????? VeyrithToolTest";
    m_runValues = {L"\u0428\u043f\u0438\u043e\u043d VeyrithToolTest", L"????? VeyrithToolTest"};
    for (const std::wstring& name : {target, lookalike}) ASSERT_TRUE(SetWideValue(kUserRunKey, name));
    ToolRequest r = {};
    r.id = 1;
    lstrcpyW(r.path, Wide(kUserRunKey).c_str());
    r.rootKey = 0x80000001;
    lstrcpyW(r.valueName, target.c_str());
    // A view the request may not name is refused.
    r.view = 7;
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
    r.view = kRequestView32;
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 1u);
    EXPECT_FALSE(WideValueExists(kUserRunKey, target));
    EXPECT_TRUE(WideValueExists(kUserRunKey, lookalike));
    // The value is gone now, so a second run fails.
    EXPECT_EQ(RunBound("-reg_autorun"), 0u);

    // A value outside the Run keys is never deleted.
    ASSERT_TRUE(SetWideValue(kTestRunKey, L"First"));
    lstrcpyW(r.path, Wide(kTestRunKey).c_str());
    lstrcpyW(r.valueName, L"First");
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kTestRunKey, "First"));

    // Kinds 0 and 3 succeed without touching anything.
    lstrcpyW(r.valueName, L"First");
    for (DWORD kind : {0u, 3u}) {
        r.id = kind;
        EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 1u) << kind;
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kTestRunKey, "First")) << kind;
    }

    // Any root but the current user's and the machine's is refused.
    ASSERT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "VeyrithToolTest\\Run", "First", "c:\\x.exe"));
    r.id = 1;
    r.rootKey = 0x80000000;
    lstrcpyW(r.path, L"VeyrithToolTest\\Run");
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
    EXPECT_TRUE(ValueExists(HKEY_CLASSES_ROOT, "VeyrithToolTest\\Run", "First"));

    // A path field without its NUL is refused rather than read on into the
    // next field; here it would name a real key: one of exactly 260 characters.
    r.rootKey = 0x80000001;
    // Its characters have zero bytes, which are no NUL characters.
    std::string longKey = std::string(kTestRunKey) + "\\";
    longKey += std::string(260 - longKey.size(), 'R');
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, longKey.c_str(), "First", "c:\\x.exe"));
    std::wstring wideKey = Wide(longKey);
    std::memcpy(r.path, wideKey.data(), sizeof(r.path));
    lstrcpyW(r.valueName, L"First");
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, longKey.c_str(), "First"));
}

// Kind 2 deletes a shortcut directly in a Startup folder, and nothing else.
TEST_F(ConfigureTool, RegAutorunKindTwoDeletesOnlyAStartupShortcut) {
    wchar_t startup[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, startup)));
    CreateDirectoryW(startup, nullptr);
    const std::wstring lnk = std::wstring(startup) + L"\\VeyrithToolTest spy.lnk";
    const std::wstring elsewhere = Wide(m_dir.File("spy.lnk"));
    const std::wstring notShortcut = std::wstring(startup) + L"\\VeyrithToolTest.txt";
    for (const std::wstring& file : {lnk, elsewhere, notShortcut}) ASSERT_TRUE(WriteTextFile(file, "x"));
    for (const std::wstring& file : {elsewhere, notShortcut}) {
        ToolRequest r = PathRequest(file);
        r.id = 2;
        EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
        EXPECT_TRUE(FileExists(file));
    }
    DeleteFileW(notShortcut.c_str());
    ToolRequest r = PathRequest(lnk);
    r.id = 2;
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 1u);
    EXPECT_FALSE(FileExists(lnk));
    EXPECT_EQ(RunBound("-reg_autorun"), 0u);
}

TEST_F(ConfigureTool, InfoOnAMissingFileEndsAfterAboutThreeSeconds) {
    Store(PathRequest(m_dir.File("does-not-exist.exe")), kToolRequestShortSize);
    DWORD start = GetTickCount();
    EXPECT_EQ(RunBound("-info"), 0u);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 2900u);
    EXPECT_LT(elapsed, 15000u);
}

}  // namespace
