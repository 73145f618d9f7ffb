// Drives the real veyrith_configure.exe with requests stored in the registry.
#include "common/autorun_backup.h"
#include "common/product.h"
#include "common/quarantine_index.h"
#include "common/request_digest.h"
#include "test_support.h"
#include "common/tool_request.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <tlhelp32.h>
#include <winioctl.h>

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


// The unix path of a file under Wine (wine_get_unix_file_name); empty on
// Windows.
std::string UnixPathOf(const std::wstring& path) {
    typedef char*(CDECL * UnixNameFn)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name) return std::string();
    std::string text = name;
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// A mount point's reparse data: the target as "\??\C:\..." and an empty
// print name.
std::vector<char> MountPointData(const std::wstring& target) {
    const std::wstring substitute = L"\\??\\" + target;
    const USHORT bytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
    std::vector<char> data(8 + 8 + bytes + 2 * sizeof(wchar_t), 0);
    auto word = [&data](size_t at, USHORT value) { std::memcpy(&data[at], &value, sizeof(value)); };
    DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(&data[0], &tag, sizeof(tag));
    word(4, static_cast<USHORT>(data.size() - 8));
    word(8, 0);
    word(10, bytes);
    word(12, static_cast<USHORT>(bytes + sizeof(wchar_t)));
    word(14, 0);
    std::memcpy(&data[16], substitute.data(), bytes);
    return data;
}

// Wine hands out no handle to wait for a host program on (the wait fails at
// once), so what the program makes or removes is waited for: true once
// done() holds, false after 5 s.
template <typename Done>
bool AwaitHostProgram(Done done) {
    for (int attempt = 0; attempt < 250; ++attempt) {
        if (done()) return true;
        Sleep(20);
    }
    return false;
}

bool IsFolderLink(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A folder link at link that leads to the folder target: a junction where
// the system sets one; Wine sets none (FSCTL_SET_REPARSE_POINT answers
// ERROR_NOT_SUPPORTED, mklink /J fails) but shows a unix symbolic link as a
// folder that is a reparse point, whose handles end at its target, so there
// the link is made by the host's ln.
class FolderLink {
public:
    FolderLink(const std::wstring& link, const std::wstring& target) : m_link(link) {
        if (!CreateDirectoryW(link.c_str(), nullptr)) return;
        HANDLE folder = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        std::vector<char> data = MountPointData(target);
        DWORD got = 0;
        bool set = folder != INVALID_HANDLE_VALUE &&
                   DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()),
                                   nullptr, 0, &got, nullptr);
        if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
        if (!set) {
            RemoveDirectoryW(link.c_str());
            // Wine names a link by what it leads to: the link's own unix
            // path is taken while it is not there yet.
            m_unixLink = UnixPathOf(link);
            RunToEnd("Z:\\bin\\ln -s " + Quoted(UnixPathOf(target)) + " " + Quoted(m_unixLink));
            m_hostLink = true;
        }
        m_made = AwaitHostProgram([this] { return IsFolderLink(m_link); });
    }
    ~FolderLink() { Remove(); }
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    bool Made() const { return m_made; }
    // Removes the link itself, never what it leads to. Wine's
    // RemoveDirectoryW on a unix link removes the (empty) folder it leads to,
    // so the host's rm removes the host's link.
    void Remove() {
        if (!m_made) return;
        if (m_hostLink)
            RunToEnd("Z:\\bin\\rm " + Quoted(m_unixLink));
        else
            RemoveDirectoryW(m_link.c_str());
        m_made = !AwaitHostProgram([this] { return !IsFolderLink(m_link); });
    }

private:
    std::wstring m_link;
    bool m_made = false;
    bool m_hostLink = false;
    std::string m_unixLink;
};

// A drive of its own on another volume: under Wine a drive letter in the
// prefix's dosdevices that leads to a folder of the host's memory file
// system, on which no rename from the prefix's drive can land. Elsewhere
// there is none (Root() is empty).
class SecondVolume {
public:
    SecondVolume() {
        const std::wstring memory = L"Z:\\dev\\shm\\veyrith-tool-test-" + std::to_wstring(GetCurrentProcessId());
        const std::string drives = UnixPathOf(L"C:\\");
        const size_t cut = drives.rfind("/c:");
        if (drives.empty() || cut == std::string::npos || !CreateDirectoryW(memory.c_str(), nullptr)) return;
        m_memory = memory;
        for (wchar_t letter = L'Y'; letter > L'M' && m_root.empty(); --letter)
            if (!(GetLogicalDrives() & (1u << (letter - L'A')))) m_root = std::wstring(1, letter) + L":\\";
        if (m_root.empty()) return;
        m_drive = drives.substr(0, cut + 1) + static_cast<char>(towlower(m_root[0])) + ":";
        RunToEnd("Z:\\bin\\ln -s " + Quoted(UnixPathOf(m_memory)) + " " + Quoted(m_drive));
        if (!AwaitHostProgram([this] { return FileExists(m_root); })) m_root.clear();
    }
    ~SecondVolume() {
        if (!m_drive.empty()) RunToEnd("Z:\\bin\\rm " + Quoted(m_drive));
        if (!m_root.empty()) AwaitHostProgram([this] { return !FileExists(m_root); });
        if (!m_memory.empty()) DeleteTree(m_memory);
    }
    SecondVolume(const SecondVolume&) = delete;
    SecondVolume& operator=(const SecondVolume&) = delete;

    // "Y:\", or empty.
    const std::wstring& Root() const { return m_root; }

private:
    std::wstring m_memory, m_root;
    std::string m_drive;
};

// A registry link below HKEY_CURRENT_USER that leads to target, a key path
// of the registry's own namespace ("\Registry\Machine\...").
bool CreateRegistryLink(const wchar_t* key, const std::wstring& target) {
    HKEY link = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr) != ERROR_SUCCESS)
        return false;
    LONG set = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()),
                              static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    RegCloseKey(link);
    return set == ERROR_SUCCESS;
}

// Deletes the link key itself (NtDeleteKey on the link opened as a link).
void DeleteRegistryLink(const wchar_t* key) {
    typedef LONG(WINAPI * DeleteKeyFn)(HANDLE);
    auto deleteKey = reinterpret_cast<DeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    HKEY link = nullptr;
    if (!deleteKey || RegOpenKeyExW(HKEY_CURRENT_USER, key, REG_OPTION_OPEN_LINK, DELETE | KEY_READ, &link))
        return;
    deleteKey(link);
    RegCloseKey(link);
}

bool KeyExists(HKEY root, const wchar_t* key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key, REG_OPTION_OPEN_LINK, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
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
    std::wstring QuarantineFolder() const { return Wide(m_program.Path() + "Quarantined"); }

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

    // Veyrith's own programs, in the tool's folder, and the Windows shell.
    const std::string own = m_program.File("idle_process.exe");
    ASSERT_TRUE(CopyFileA(idle.c_str(), own.c_str(), FALSE));
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string shell = std::string(windows) + "\\explorer.exe";
    ChildProcess ours, explorer;
    ASSERT_TRUE(ours.Start(Quoted(own)));
    ASSERT_TRUE(explorer.Start(Quoted(shell) + " /n,C:\\"));
    EXPECT_EQ(StoreAndRun("-kill", KillRequest(ours.Id(), own), kToolRequestShortSize), 0u);
    EXPECT_EQ(StoreAndRun("-kill", KillRequest(explorer.Id(), shell), kToolRequestShortSize), 0u);
    EXPECT_TRUE(ours.Running());
    EXPECT_TRUE(explorer.Running());
}

// A file is deleted only when it is the image the process runs and the
// quarantine holds a copy with its bytes: without both the process is not
// ended either. Any program can back up any file, so a backup proves nothing
// about the process a request pairs it with.
TEST_F(ConfigureTool, KillDeleteNeedsTheProcesssImageAndItsBackup) {
    std::string exe = m_dir.File("victim.exe");
    const std::string idle = BinDir() + "idle_process.exe";
    ASSERT_TRUE(CopyFileA(idle.c_str(), exe.c_str(), FALSE));
    const std::string other = m_dir.File("other.txt");
    WriteTextFile(other, "another program's file");
    ChildProcess child, unrelated;
    ASSERT_TRUE(child.Start(Quoted(exe)));
    ASSERT_TRUE(unrelated.Start(Quoted(idle)));
    ToolRequest r = PathRequest(exe, exe);
    r.id = child.Id();
    EXPECT_EQ(StoreAndRun("-kill_del", r, kToolRequestShortSize), 0u);
    EXPECT_TRUE(child.Running());
    EXPECT_TRUE(FileExists(exe));

    // A copy of any file, then a deletion of it paired with an unrelated
    // process: the file is not the image the process runs.
    BackUp(other, "other.txt");
    BackUp(exe, "victim.exe");
    for (const ToolRequest& pair : {PathRequest(other, idle), PathRequest(exe, idle), PathRequest(other, exe)}) {
        ToolRequest wrong = pair;
        wrong.id = pair.target == Wide(exe) ? child.Id() : unrelated.Id();
        EXPECT_EQ(StoreAndRun("-kill_del", wrong, kToolRequestShortSize), 0u) << Narrow(wrong.path);
    }
    EXPECT_TRUE(child.Running() && unrelated.Running());
    EXPECT_EQ(ReadTextFile(other), "another program's file");
    EXPECT_TRUE(FileExists(exe));

    EXPECT_EQ(StoreAndRun("-kill_del", r, kToolRequestShortSize), 1u);
    EXPECT_TRUE(child.Wait(5000));
    EXPECT_FALSE(FileExists(exe));
}

// Moves the file aside and puts a decoy in its place the moment its host
// ends, as a spy's watcher does.
struct SwapOnEnd {
    HANDLE host;
    std::wstring file, aside, decoy;
    bool swapped = false;
};

DWORD WINAPI SwapWhenEnded(void* parameter) {
    SwapOnEnd& swap = *static_cast<SwapOnEnd*>(parameter);
    if (WaitForSingleObject(swap.host, 20000) != WAIT_OBJECT_0) return 0;
    // While the tool holds the file the move is refused; once the tool has
    // deleted it there is nothing left to move.
    for (int attempt = 0; attempt < 5000 && !swap.swapped; ++attempt) {
        if (MoveFileExW(swap.file.c_str(), swap.aside.c_str(), 0))
            swap.swapped = MoveFileExW(swap.decoy.c_str(), swap.file.c_str(), 0) != FALSE;
        else if (GetLastError() == ERROR_FILE_NOT_FOUND)
            break;
        else
            Sleep(1);
    }
    return 0;
}

// The file deleted after the end is the one whose bytes were backed up: the
// bytes are read through the handle that deletes. Which of the tool and the
// watcher comes first after the end is the system's choice, so each round
// checks the outcome of the order it got: the watcher first, and the decoy
// stays with exit code 0; the tool first, and the backed-up file is gone.
TEST_F(ConfigureTool, KillDeleteDeletesOnlyTheBytesItBackedUp) {
    const std::string idle = BinDir() + "idle_process.exe";
    int swappedRounds = 0;
    for (int round = 0; round < 6; ++round) {
        const std::string exe = m_dir.File("watched" + std::to_string(round) + ".exe");
        ASSERT_TRUE(CopyFileA(idle.c_str(), exe.c_str(), FALSE));
        BackUp(exe, "watched" + std::to_string(round) + ".exe");
        ChildProcess host;
        ASSERT_TRUE(host.Start(Quoted(exe)));
        SwapOnEnd swap{host.Handle(), Wide(exe), Wide(m_dir.File("aside" + std::to_string(round) + ".exe")),
                       Wide(m_dir.File("decoy" + std::to_string(round) + ".exe"))};
        ASSERT_TRUE(WriteTextFile(swap.decoy, "decoy"));
        HANDLE watcher = CreateThread(nullptr, 0, SwapWhenEnded, &swap, 0, nullptr);
        ASSERT_TRUE(watcher);
        ToolRequest r = PathRequest(exe, exe);
        r.id = host.Id();
        DWORD code = StoreAndRun("-kill_del", r, kToolRequestShortSize);
        WaitForSingleObject(watcher, 30000);
        CloseHandle(watcher);
        if (swap.swapped) {
            ++swappedRounds;
            EXPECT_EQ(code, 0u) << round;
            EXPECT_EQ(ReadTextFile(exe), "decoy") << round;
            EXPECT_TRUE(FileExists(swap.aside)) << round;
        } else {
            EXPECT_EQ(code, 1u) << round;
            EXPECT_FALSE(FileExists(exe)) << round;
        }
    }
    std::printf("the watcher moved the file first in %d of 6 rounds\n", swappedRounds);
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
    // What was removed is kept: where the value was, its type and its bytes.
    std::vector<AutorunBackup> records;
    ASSERT_TRUE(ReadAutorunBackups(QuarantineFolder(), records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rootKey, 0x80000001u);
    EXPECT_EQ(records[0].view, kRequestView32);
    EXPECT_EQ(records[0].keyPath, Wide(kUserRunKey));
    EXPECT_EQ(records[0].valueName, target);
    EXPECT_EQ(records[0].type, static_cast<DWORD>(REG_SZ));
    const unsigned char* data = reinterpret_cast<const unsigned char*>(L"c:\\x.exe");
    EXPECT_EQ(records[0].data, std::vector<unsigned char>(data, data + sizeof(L"c:\\x.exe")));
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
    // The shortcut is a quarantined copy now, restorable like any other.
    std::vector<QuarantineRecord> copies;
    ASSERT_TRUE(ReadQuarantineIndex(QuarantineFolder(), copies));
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].sourcePath, lnk);
    EXPECT_EQ(ReadTextFile(copies[0].copyPath), "x");
    EXPECT_EQ(RunBound("-reg_autorun"), 0u);
}

// Windows drops trailing dots and spaces, reads what follows ":" as a
// stream and opens devices for their names: such a name is never taken for
// the file it is not, in a copy's name, a path or a record's origin.
TEST_F(ConfigureTool, NamesAreTakenOnlyAsTheFileSystemResolvesThem) {
    const std::string a = m_dir.File("a.txt");
    WriteTextFile(a, "a");
    BackUp(a, "a.txt");
    const std::string index = ReadTextFile(InQuarantine("index.dat"));
    for (const char* name : {"index.dat.", "index.dat ", "b.txt:hidden", "con.txt", "NUL", "COM1.log", "QUARAN~1.TXT"})
        EXPECT_EQ(StoreAndRun("-copy", PathRequest(a, InQuarantine(name)), kToolRequestShortSize), 0u) << name;
    EXPECT_EQ(StoreAndRun("-copy", PathRequest(a + ".", InQuarantine("b.txt")), kToolRequestShortSize), 0u);
    EXPECT_EQ(ReadTextFile(InQuarantine("index.dat")), index);
    EXPECT_FALSE(FileExists(InQuarantine("b.txt")));

    // The backed-up file, named with a trailing dot, is no file to delete.
    EXPECT_EQ(StoreAndRun("-move_reboot", PathRequest(a + "."), kToolRequestShortSize), 0u);
    EXPECT_EQ(StoreAndRun("-delete_copy", PathRequest(InQuarantine("a.txt.")), kToolRequestShortSize), 0u);
    EXPECT_TRUE(FileExists(InQuarantine("a.txt")));

    // A record whose origin ends in a dot restores nothing.
    const std::string origin = m_dir.File("restored.txt.");
    ASSERT_TRUE(WriteTextFile(InQuarantine("index.dat"),
                              index + "0000BEEF\r\n" + InQuarantine("a.txt") + "\r\n" + origin + "\r\n"));
    EXPECT_EQ(StoreAndRun("-move", PathRequest(InQuarantine("a.txt"), origin), kToolRequestShortSize), 0u);
    EXPECT_FALSE(FileExists(m_dir.File("restored.txt")));
    EXPECT_TRUE(FileExists(InQuarantine("a.txt")));
}

// A restore goes only into the folder its record names, held open and
// checked: a folder replaced by a link, or a link above it, takes nothing.
TEST_F(ConfigureTool, RestoreGoesOnlyIntoTheRecordedFolderWithoutLinks) {
    TempFolder elsewhere;
    const std::wstring high = Wide(m_dir.File("high")), folder = high + L"\\origin";
    const std::wstring file = folder + L"\\indicdll.dll";
    ASSERT_TRUE(CreateDirectoryW(high.c_str(), nullptr) && CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(file, "spy"));
    BackUp(file, "indicdll.dll");
    ASSERT_TRUE(DeleteFileW(file.c_str()));
    const ToolRequest restore = PathRequest(Wide(InQuarantine("indicdll.dll")), file);

    // The recorded folder is now a link to another folder.
    ASSERT_TRUE(MoveFileW(folder.c_str(), (high + L"\\real").c_str()));
    {
        FolderLink link(folder, Wide(elsewhere.Path()));
        ASSERT_TRUE(link.Made());
        EXPECT_EQ(StoreAndRun("-move", restore, kToolRequestShortSize), 0u);
    }
    EXPECT_FALSE(FileExists(elsewhere.File("indicdll.dll")));
    // The recorded folder is there, but a folder on its way is a link.
    ASSERT_TRUE(MoveFileW((high + L"\\real").c_str(), folder.c_str()));
    ASSERT_TRUE(MoveFileW(high.c_str(), Wide(m_dir.File("high.real")).c_str()));
    {
        FolderLink link(high, Wide(m_dir.File("high.real")));
        ASSERT_TRUE(link.Made());
        EXPECT_EQ(StoreAndRun("-move", restore, kToolRequestShortSize), 0u);
    }
    EXPECT_FALSE(FileExists(m_dir.File("high.real\\origin\\indicdll.dll")));
    EXPECT_TRUE(FileExists(InQuarantine("indicdll.dll")));

    ASSERT_TRUE(MoveFileW(Wide(m_dir.File("high.real")).c_str(), high.c_str()));
    EXPECT_EQ(StoreAndRun("-move", restore, kToolRequestShortSize), 1u);
    EXPECT_EQ(ReadTextFile(file), "spy");
    EXPECT_FALSE(FileExists(InQuarantine("indicdll.dll")));
}

// Where no rename crosses from the quarantine's volume to the origin's, the
// copy is written into the held folder under a partial name, checked and
// renamed.
TEST_F(ConfigureTool, RestoreAcrossVolumesCopiesIntoTheHeldFolder) {
    SecondVolume volume;
    if (volume.Root().empty()) GTEST_SKIP() << "no second volume here";
    const std::wstring folder = volume.Root() + L"origin";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\across.txt";
    ASSERT_TRUE(WriteTextFile(file, "across volumes"));
    BackUp(file, "across.txt");
    ASSERT_TRUE(DeleteFileW(file.c_str()));
    EXPECT_EQ(StoreAndRun("-move", PathRequest(Wide(InQuarantine("across.txt")), file), kToolRequestShortSize), 1u);
    EXPECT_EQ(ReadTextFile(file), "across volumes");
    EXPECT_FALSE(FileExists(InQuarantine("across.txt")));
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\~partial-*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a partial copy was left";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

// A Run value goes only once its record is written, and never through a
// registry link: the Run key a request names is the user's own.
TEST_F(ConfigureTool, ARunValueGoesOnlyWithItsRecordAndNeverThroughALink) {
    m_runValues = {L"VeyrithToolTest kept"};
    ASSERT_TRUE(SetWideValue(kUserRunKey, L"VeyrithToolTest kept"));
    ToolRequest r = {};
    r.id = 1;
    r.rootKey = 0x80000001;
    lstrcpyW(r.path, Wide(kUserRunKey).c_str());
    lstrcpyW(r.valueName, L"VeyrithToolTest kept");
    // Something that is no record file stands at its name: a file, a folder.
    CreateDirectoryA(InQuarantine("").c_str(), nullptr);
    ASSERT_TRUE(WriteTextFile(InQuarantine("autorun.dat"), "not a record file\r\n"));
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
    ASSERT_TRUE(DeleteFileA(InQuarantine("autorun.dat").c_str()));
    ASSERT_TRUE(CreateDirectoryA(InQuarantine("autorun.dat").c_str(), nullptr));
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
    EXPECT_TRUE(WideValueExists(kUserRunKey, L"VeyrithToolTest kept"));
    RemoveDirectoryA(InQuarantine("autorun.dat").c_str());

    // The user's RunServices made a link into another program's key.
    const wchar_t* services = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, services)) << "the prefix has a RunServices key of its own";
    const char* linked = "Software\\Tarnwick\\VeyrithToolTest\\Linked";
    ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, linked, "Other", "c:\\other.exe"));
    ASSERT_TRUE(CreateRegistryLink(services, L"\\Registry\\Machine\\" + Wide(linked)));
    ASSERT_TRUE(ValueExists(HKEY_CURRENT_USER, Narrow(services).c_str(), "Other")) << "the link leads there";
    lstrcpyW(r.path, services);
    lstrcpyW(r.valueName, L"Other");
    EXPECT_EQ(StoreAndRun("-reg_autorun", r, kToolRequestAutorunSize), 0u);
    DeleteRegistryLink(services);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, services));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, linked, "Other"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Tarnwick\\VeyrithToolTest");
    std::vector<AutorunBackup> records;
    EXPECT_TRUE(ReadAutorunBackups(QuarantineFolder(), records));
    EXPECT_TRUE(records.empty());
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
