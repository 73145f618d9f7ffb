#include "views/scan_indicator_dlg.h"

#include <shellapi.h>

#include "common/owners.h"
#include "resources/resource.h"
#include "scanner/module_snapshot.h"
#include "scanner/process_list.h"
#include "views/pane_host.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerPeriodMs = 200;
constexpr DWORD kProcessListBytes = 16384;

// The executable of a process (its first module); empty when the process
// cannot be listed.
std::wstring ProcessExecutable(DWORD processId) {
    std::wstring path;
    return ReadProcessExecutable(processId, path) ? path : std::wstring();
}

bool FileFound(const std::wstring& path) {
    if (path.empty()) return false;
    WIN32_FIND_DATAW data;
    CFindHandle search(FindFirstFileW(path.c_str(), &data));
    return static_cast<bool>(search);
}

}  // namespace

CScanIndicatorDlg::CScanIndicatorDlg() : fw::Dialog(IDD_SCAN_INDICATOR) {}

// The window (if any) goes with the object without ending the scan.
CScanIndicatorDlg::~CScanIndicatorDlg() = default;

bool CScanIndicatorDlg::Start(CPaneHost* host, std::function<void()> walkEnded) {
    if (IsRunning()) return true;
    m_pHost = host;
    m_walkEnded = std::move(walkEnded);
    return CreateModeless(host ? host->HostWindow() : nullptr);
}

bool CScanIndicatorDlg::IsRunning() const { return IsWindow(); }

void CScanIndicatorDlg::Stop() {
    if (IsRunning()) Destroy();
}

std::wstring CScanIndicatorDlg::ShownPath() const {
    return IsRunning() ? Item(IDC_SCAN_PATH).Text() : std::wstring();
}

bool CScanIndicatorDlg::OnInit() {
    m_dwProcessIndex = 0;
    m_processIds = ListProcessIds(kProcessListBytes);
    if (m_pHost && m_pHost->BoldFont())
        Item(IDC_SCAN_HEADING).Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_pHost->BoldFont()), TRUE);
    HWND path = Item(IDC_SCAN_PATH);
    SetWindowLongPtrW(path, GWL_STYLE, GetWindowLongPtrW(path, GWL_STYLE) | SS_PATHELLIPSIS);
    SetTimer(kTimerId, kTimerPeriodMs);
    return true;
}

bool CScanIndicatorDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (msg == WM_TIMER && wParam == kTimerId) {
        ShowNextProcess();
        result = 0;
        return true;
    }
    if (msg == WM_DESTROY) OnScanEnd();
    return false;
}

bool CScanIndicatorDlg::ShowNextProcess() {
    // A list that could not be read at the start is tried again each step.
    if (m_processIds.empty()) m_processIds = ListProcessIds(kProcessListBytes);
    if (m_processIds.empty()) return false;
    DWORD count = static_cast<DWORD>(m_processIds.size());
    std::wstring path;
    while (m_dwProcessIndex < count) {
        path = ProcessExecutable(m_processIds[m_dwProcessIndex]);
        ++m_dwProcessIndex;
        if (FileFound(path)) break;
        path.clear();
    }
    if (path.empty()) {
        Finish();
        return false;
    }
    HICON large = nullptr;
    if (ExtractIconExW(path.c_str(), 0, &large, nullptr, 1) > 0 && large)
        ShowIcon(large, true);
    else
        ShowIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)), false);
    Item(IDC_SCAN_PATH).SetText(path);
    return true;
}

void CScanIndicatorDlg::ShowIcon(HICON icon, bool owned) {
    Item(IDC_SCAN_ICON).Send(STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    // Only icons extracted here are ours to free; the system's standard
    // application icon is shared by every program.
    if (m_icon.Get() != icon) m_icon = owned ? CIcon(icon) : CIcon();
}

void CScanIndicatorDlg::Finish() {
    KillTimer(kTimerId);
    Destroy();
}

void CScanIndicatorDlg::OnScanEnd() {
    KillTimer(kTimerId);
    ShowIcon(nullptr, false);
    m_processIds.clear();
    if (m_walkEnded) m_walkEnded();
}
