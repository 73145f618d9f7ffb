#include "tool/tool_client.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>

#include "common/owners.h"
#include "common/product.h"
#include "common/request_digest.h"
#include "common/system_error.h"
#include "common/tool_request.h"
#include "common/string_resource.h"
#include "framework/application.h"
#include "framework/profile.h"
#include "resources/resource.h"

namespace {

constexpr size_t kMaxToolPath = 259;

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

ToolResult Failed(ToolResult::Failure failure, DWORD startError = 0) {
    ToolResult result;
    result.failure = failure;
    result.startError = startError;
    return result;
}

ToolResult Exited(DWORD exitCode) {
    ToolResult result;
    result.exitCode = exitCode;
    return result;
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

}  // namespace

// "Error 2: " and the system's own text for the code; the code alone when
// the system has no text for it.
std::wstring ToolResult::FailureText() const {
    if (failure == kPathTooLong) return LoadResString(IDS_TOOL_PATH_TOO_LONG);
    if (failure == kBusy) return LoadResString(IDS_TOOL_BUSY);
    if (failure != kNotStarted) return std::wstring();
    const std::wstring code = L"Error " + std::to_wstring(startError);
    const std::wstring text = SystemErrorText(startError);
    return text == code ? code : code + L": " + text;
}

bool ShowToolFailure(CDesktop& desktop, const ToolResult& result) {
    if (result.failure == ToolResult::kNone) return false;
    desktop.ShowMessage(result.FailureText(), result.FailureType());
    return true;
}

namespace {

// One run of the tool in this process at a time (the user-interface thread
// starts them all; the flag is read there and by the frame).
bool g_toolRunning = false;

// The flag for as long as the object lives.
class ToolRunMark {
public:
    ToolRunMark() { g_toolRunning = true; }
    ~ToolRunMark() { g_toolRunning = false; }
    ToolRunMark(const ToolRunMark&) = delete;
    ToolRunMark& operator=(const ToolRunMark&) = delete;
};

// The start and the wait, on a thread of their own: ShellExecuteEx waits for
// the consent prompt, and the tool for the user's answer.
// Handles the waiting messages of a thread without the program's loop (the
// tests); false once WM_QUIT was taken (posted again for the owner).
bool PumpPlain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

struct ToolLaunch {
    std::wstring program;
    std::wstring parameters;
    int show = SW_HIDE;
    DWORD waitMs = kToolWaitMs;
    ToolResult result;

    static DWORD WINAPI Run(void* param) {
        auto* launch = static_cast<ToolLaunch*>(param);
        // The shell may hand the start to extensions of its own, which need COM.
        HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        launch->result = launch->StartAndWait();
        if (SUCCEEDED(com)) CoUninitialize();
        return 0;
    }

    ToolResult StartAndWait() const {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        // The shell shows no box of its own: the one message is ours.
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpVerb = L"open";
        info.lpFile = program.c_str();
        info.lpParameters = parameters.c_str();
        info.nShow = show;
        if (!ShellExecuteExW(&info) || !info.hProcess) return Failed(ToolResult::kNotStarted, GetLastError());
        CHandle process(info.hProcess);
        DWORD exitCode = 0;
        if (WaitForSingleObject(process.Get(), waitMs) != WAIT_TIMEOUT &&
            !GetExitCodeProcess(process.Get(), &exitCode))
            exitCode = 0;
        return Exited(exitCode);
    }
};

// Handles this thread's messages until the object is signalled, as the
// program's own loop does (its keys, its idle work: the commands show as
// unavailable meanwhile). Once the loop is asked to end, only waits.
void PumpUntil(HANDLE done) {
    fw::Application* app = fw::Application::Current();
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        if (app ? app->PumpWaiting() : PumpPlain()) continue;
        WaitForSingleObject(done, INFINITE);
        return;
    }
}

}  // namespace

ToolResult RunTool(const std::wstring& program, const std::wstring& parameters, int show, DWORD waitMs) {
    if (g_toolRunning) return Failed(ToolResult::kBusy);
    ToolRunMark mark;
    WaitCursor cursor;
    ToolLaunch launch;
    launch.program = program;
    launch.parameters = parameters;
    launch.show = show;
    launch.waitMs = waitMs;
    CHandle thread(CreateThread(nullptr, 0, &ToolLaunch::Run, &launch, 0, nullptr));
    if (!thread) return launch.StartAndWait();
    PumpUntil(thread.Get());
    return launch.result;
}

bool IsToolRunning() { return g_toolRunning; }

bool FitsToolRequest(const wchar_t* path) { return !path || std::wcslen(path) <= kMaxToolPath; }

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

CToolClient::CToolClient(std::wstring programFolder, DWORD waitMs)
    : m_folder(WithBackslash(std::move(programFolder))), m_dwWaitMs(waitMs) {}

std::wstring CToolClient::ToolPath() const { return m_folder + kToolFileNameW; }

ToolResult CToolClient::RunShortRequest(const char* toolSwitch, DWORD id, const wchar_t* path,
                                        const wchar_t* target) const {
    if (g_toolRunning) return Failed(ToolResult::kBusy);
    if (!PathsFit(path, target)) return Failed(ToolResult::kPathTooLong);
    ToolRequest request = {};
    request.id = id;
    if (path) std::wcsncpy(request.path, path, kMaxToolPath);
    if (target) std::wcsncpy(request.target, target, kMaxToolPath);
    StoreRequest(&request, kToolRequestShortSize);
    return RunTool(ToolPath(), Parameters(toolSwitch, &request, kToolRequestShortSize), SW_HIDE, m_dwWaitMs);
}

ToolResult CToolClient::Kill(DWORD processId, const wchar_t* imagePath) const {
    return RunShortRequest("-kill", processId, nullptr, imagePath);
}

ToolResult CToolClient::KillAndDelete(const wchar_t* filePath, DWORD processId, const wchar_t* imagePath) const {
    return RunShortRequest("-kill_del", processId, filePath, imagePath);
}

ToolResult CToolClient::DeleteAtReboot(const wchar_t* filePath) const {
    return RunShortRequest("-move_reboot", 0, filePath, nullptr);
}

ToolResult CToolClient::Move(const wchar_t* source, const wchar_t* newPath) const {
    return RunShortRequest("-move", 0, source, newPath);
}

ToolResult CToolClient::Copy(const wchar_t* source, const wchar_t* destination) const {
    return RunShortRequest("-copy", 0, source, destination);
}

ToolResult CToolClient::DeleteCopy(const wchar_t* copyPath) const {
    return RunShortRequest("-delete_copy", 0, copyPath, nullptr);
}

ToolResult CToolClient::RemoveAutoRun(const CListItemState& record, bool in64BitView) const {
    if (g_toolRunning) return Failed(ToolResult::kBusy);
    const CAutoRunInfo& entry = record.m_autoRun;
    ToolRequest request = {};
    request.id = static_cast<DWORD>(entry.m_nType);
    std::wcsncpy(request.path, entry.m_szLocation, kMaxToolPath);
    std::wcsncpy(request.target, entry.m_szProgram, kMaxToolPath);
    request.rootKey = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry.m_hRootKey));
    std::wcsncpy(request.valueName, entry.m_szValueName, 127);
    request.view = in64BitView ? kRequestView64 : kRequestView32;
    StoreRequest(&request, kToolRequestAutorunSize);
    if (entry.m_nType != AUTORUN_REGISTRY && entry.m_nType != AUTORUN_SHORTCUT) return ToolResult();
    if (!IsAutoRunEntryWhole(entry)) return ToolResult();
    return RunTool(ToolPath(), Parameters("-reg_autorun", &request, kToolRequestAutorunSize), SW_HIDE, m_dwWaitMs);
}

ToolResult CToolClient::ShowProperties(CDesktop& desktop, HWND owner, const wchar_t* filePath) const {
    if (g_toolRunning) return Failed(ToolResult::kBusy);
    if (!FitsToolRequest(filePath)) return Failed(ToolResult::kPathTooLong);
    ToolRequest request = {};
    if (filePath) std::wcsncpy(request.path, filePath, kMaxToolPath);
    StoreRequest(&request, kToolRequestShortSize);
    std::wstring parameters = Parameters("-info", &request, kToolRequestShortSize);
    desktop.ShellOpen(owner, L"open", ToolPath(), parameters, SW_HIDE);
    return Exited(1);
}
