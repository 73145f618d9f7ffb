#include "tool/tool_client.h"

#include <shellapi.h>

#include <cwchar>

#include "common/executable_folder.h"
#include "common/owners.h"
#include "common/product.h"
#include "common/request_digest.h"
#include "common/system_error.h"
#include "common/tool_request.h"
#include "framework/message_box.h"
#include "framework/profile.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kToolWaitMs = 10000;
constexpr size_t kMaxToolPath = 259;

std::wstring g_toolFolder;

std::wstring WithBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
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

// "Error 2: " and the system's own text for the code; the code alone when
// the system has no text for it.
void ShowStartError(DWORD error) {
    const std::wstring code = L"Error " + std::to_wstring(error);
    const std::wstring text = SystemErrorText(error);
    fw::ShowMessage(text == code ? code : code + L": " + text, MB_OK);
}

// The request goes to the program's key; without an application that has
// set it (the tests) the key is still the one the tool reads.
void StoreRequest(const void* bytes, DWORD size) {
    if (fw::ProgramKey().empty()) fw::SetProgramKey(kProgramKeyW);
    fw::WriteProfileBinary(kConfigureValueW, bytes, size);
}

// The switch and the digest of the stored bytes, as the tool expects them
// (both plain ASCII).
std::wstring Parameters(const char* toolSwitch, const void* bytes, DWORD size) {
    std::string text = std::string(toolSwitch) + " " + RequestDigest(bytes, size);
    return std::wstring(text.begin(), text.end());
}

bool PathsFit(const wchar_t* first, const wchar_t* second) {
    return FitsToolRequest(first) && FitsToolRequest(second);
}

// Stores a short request (id, path, target) and runs the tool on it.
DWORD RunShortRequest(const char* toolSwitch, DWORD id, const wchar_t* path, const wchar_t* target) {
    if (!PathsFit(path, target)) return 0;
    ToolRequest request = {};
    request.id = id;
    if (path) std::wcsncpy(request.path, path, kMaxToolPath);
    if (target) std::wcsncpy(request.target, target, kMaxToolPath);
    StoreRequest(&request, kToolRequestShortSize);
    return RunTool(ToolPath(), Parameters(toolSwitch, &request, kToolRequestShortSize), SW_HIDE);
}

}  // namespace

void SetToolFolder(const std::wstring& programFolder) { g_toolFolder = WithBackslash(programFolder); }

std::wstring ToolPath() {
    if (g_toolFolder.empty()) g_toolFolder = ExecutableFolder();
    return g_toolFolder + kToolFileNameW;
}

DWORD RunTool(const std::wstring& program, const std::wstring& parameters, int show) {
    WaitCursor cursor;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // The shell shows no box of its own: the one message is ours.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = show;
    if (!ShellExecuteExW(&info) || !info.hProcess) {
        ShowStartError(GetLastError());
        return 0;
    }
    CHandle process(info.hProcess);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.Get(), kToolWaitMs) != WAIT_TIMEOUT &&
        !GetExitCodeProcess(process.Get(), &exitCode))
        exitCode = 0;
    return exitCode;
}

bool FitsToolRequest(const wchar_t* path) {
    if (!path || std::wcslen(path) <= kMaxToolPath) return true;
    fw::ShowMessage(IDS_TOOL_PATH_TOO_LONG, MB_OK | MB_ICONSTOP);
    return false;
}

DWORD ToolKill(DWORD processId, const wchar_t* imagePath) {
    return RunShortRequest("-kill", processId, nullptr, imagePath);
}

DWORD ToolKillAndDelete(const wchar_t* filePath, DWORD processId, const wchar_t* imagePath) {
    return RunShortRequest("-kill_del", processId, filePath, imagePath);
}

bool ToolDeleteAtReboot(const wchar_t* filePath) {
    return RunShortRequest("-move_reboot", 0, filePath, nullptr) != 0;
}

bool ToolMove(const wchar_t* source, const wchar_t* newPath) {
    return RunShortRequest("-move", 0, source, newPath) != 0;
}

bool ToolCopy(const wchar_t* source, const wchar_t* destination) {
    return RunShortRequest("-copy", 0, source, destination) != 0;
}

bool ToolDeleteCopy(const wchar_t* copyPath) { return RunShortRequest("-delete_copy", 0, copyPath, nullptr) != 0; }

bool IsAutoRunEntryWhole(const CAutoRunInfo& entry) {
    switch (entry.m_nType) {
    case AUTORUN_REGISTRY:
        return entry.m_hRootKey != nullptr;
    case AUTORUN_SHORTCUT:
        return entry.m_szLocation[0] != L'\0';
    default:
        return true;
    }
}

DWORD ToolRemoveAutoRun(const CListItemState& record, bool in64BitView) {
    const CAutoRunInfo& entry = record.m_autoRun;
    ToolRequest request = {};
    request.id = static_cast<DWORD>(entry.m_nType);
    std::wcsncpy(request.path, entry.m_szLocation, kMaxToolPath);
    std::wcsncpy(request.target, entry.m_szProgram, kMaxToolPath);
    request.rootKey = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry.m_hRootKey));
    std::wcsncpy(request.valueName, entry.m_szValueName, 127);
    request.view = in64BitView ? kRequestView64 : kRequestView32;
    StoreRequest(&request, kToolRequestAutorunSize);
    if (entry.m_nType != AUTORUN_REGISTRY && entry.m_nType != AUTORUN_SHORTCUT) return 0;
    if (!IsAutoRunEntryWhole(entry)) return 0;
    return RunTool(ToolPath(), Parameters("-reg_autorun", &request, kToolRequestAutorunSize), SW_HIDE);
}

void ToolShowProperties(HWND owner, const wchar_t* filePath) {
    if (!FitsToolRequest(filePath)) return;
    ToolRequest request = {};
    if (filePath) std::wcsncpy(request.path, filePath, kMaxToolPath);
    StoreRequest(&request, kToolRequestShortSize);
    std::wstring parameters = Parameters("-info", &request, kToolRequestShortSize);
    ShellExecuteW(owner, L"open", ToolPath().c_str(), parameters.c_str(), nullptr, SW_HIDE);
}
