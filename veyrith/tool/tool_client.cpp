#include "tool/tool_client.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "common/product.h"
#include "common/request_digest.h"
#include "common/tool_request.h"
#include "framework/message_box.h"
#include "framework/profile.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kToolWaitMs = 10000;
constexpr size_t kMaxToolPath = 259;

std::string g_toolFolder;

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

std::string RunningProgramFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of('\\') + 1);
}

// The wait cursor for as long as the object lives.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

void ShowStartError(DWORD error) {
    char text[32];
    std::snprintf(text, sizeof(text), "Error %i", static_cast<int>(error));
    fw::ShowMessage(text, MB_OK);
}

// The request goes to the program's key; without an application that has
// set it (the tests) the key is still the one the tool reads.
void StoreRequest(const void* bytes, DWORD size) {
    if (fw::ProgramKey().empty()) fw::SetProgramKey(kProgramKey);
    fw::WriteProfileBinary(kConfigureValue, bytes, size);
}

// The switch and the digest of the stored bytes, as the tool expects them.
std::string Parameters(const char* toolSwitch, const void* bytes, DWORD size) {
    return std::string(toolSwitch) + " " + RequestDigest(bytes, size);
}

bool PathsFit(const char* first, const char* second) {
    return FitsToolRequest(first) && FitsToolRequest(second);
}

// Stores a short request (id, path, target) and runs the tool on it.
DWORD RunShortRequest(const char* toolSwitch, DWORD id, const char* path, const char* target) {
    if (!PathsFit(path, target)) return 0;
    ToolRequest request = {};
    request.id = id;
    if (path) std::strncpy(request.path, path, kMaxToolPath);
    if (target) std::strncpy(request.target, target, kMaxToolPath);
    StoreRequest(&request, kToolRequestShortSize);
    return RunTool(ToolPath(), Parameters(toolSwitch, &request, kToolRequestShortSize), SW_HIDE);
}

}  // namespace

void SetToolFolder(const std::string& programFolder) { g_toolFolder = WithBackslash(programFolder); }

std::string ToolPath() {
    if (g_toolFolder.empty()) g_toolFolder = RunningProgramFolder();
    return g_toolFolder + kToolFileName;
}

DWORD RunTool(const std::string& program, const std::string& parameters, int show) {
    WaitCursor cursor;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    // The shell shows no box of its own: the one message is ours.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = show;
    if (!ShellExecuteExA(&info) || !info.hProcess) {
        ShowStartError(GetLastError());
        return 0;
    }
    DWORD exitCode = 0;
    if (WaitForSingleObject(info.hProcess, kToolWaitMs) != WAIT_TIMEOUT &&
        !GetExitCodeProcess(info.hProcess, &exitCode))
        exitCode = 0;
    CloseHandle(info.hProcess);
    return exitCode;
}

bool FitsToolRequest(const char* path) {
    if (!path || std::strlen(path) <= kMaxToolPath) return true;
    fw::ShowMessage(IDS_TOOL_PATH_TOO_LONG, MB_OK | MB_ICONSTOP);
    return false;
}

DWORD ToolKill(DWORD processId) { return RunShortRequest("-kill", processId, nullptr, nullptr); }

DWORD ToolKillAndDelete(const char* filePath, DWORD processId) {
    return RunShortRequest("-kill_del", processId, filePath, nullptr);
}

bool ToolDeleteAtReboot(const char* filePath) {
    return RunShortRequest("-move_reboot", 0, filePath, nullptr) != 0;
}

bool ToolMove(const char* source, const char* newPath) {
    return RunShortRequest("-move", 0, source, newPath) != 0;
}

bool ToolCopy(const char* source, const char* destination) {
    return RunShortRequest("-copy", 0, source, destination) != 0;
}

DWORD ToolRemoveAutoRun(const CListItemState& record) {
    const CAutoRunInfo& entry = record.m_autoRun;
    StoreRequest(&entry, kToolRequestAutorunSize);
    if (entry.m_nType != AUTORUN_REGISTRY && entry.m_nType != AUTORUN_SHORTCUT) return 0;
    return RunTool(ToolPath(), Parameters("-reg_autorun", &entry, kToolRequestAutorunSize), SW_HIDE);
}

void ToolShowProperties(HWND owner, const char* filePath) {
    if (!FitsToolRequest(filePath)) return;
    ToolRequest request = {};
    if (filePath) std::strncpy(request.path, filePath, kMaxToolPath);
    StoreRequest(&request, kToolRequestShortSize);
    std::string parameters = Parameters("-info", &request, kToolRequestShortSize);
    ShellExecuteA(owner, "open", ToolPath().c_str(), parameters.c_str(), nullptr, SW_HIDE);
}
