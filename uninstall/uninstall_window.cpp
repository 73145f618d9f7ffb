#include "uninstall/uninstall_window.h"

#include "common/owners.h"
#include "installer_shared/message_loop.h"
#include "installer_shared/progress_window.h"
#include "installer_shared/texts.h"
#include "installer_shared/url_window.h"
#include "uninstall/removal.h"
#include "uninstall/resources/resource.h"
#include "uninstall/work_folder.h"

#include <objbase.h>

namespace uninstall {
namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartPeriodMs = 50;
constexpr int kSmallIconSize = 16;

// The link here is grey until the pointer is over it, then black.
constexpr installer::URLWindowLook kLinkLook = {RGB(0x80, 0x80, 0x80), RGB(0, 0, 0), IDCUR_LINK};

// What the window owns: its report and the icons it loaded.
struct CUninstallWindowState {
    CUninstallReport m_report;
    CIcon m_smallIcon;
    CIcon m_doneIcon;
};

CUninstallWindowState* StateOf(HWND dialog) {
    return reinterpret_cast<CUninstallWindowState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

CIcon LoadSmallIcon(WORD id) {
    return CIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                               kSmallIconSize, kSmallIconSize, 0)));
}

void SetStatus(HWND dialog, UINT textId) { installer::ShowProgressText(dialog, IDC_STATUS, textId); }

void ShowControl(HWND dialog, int id) { ShowWindow(GetDlgItem(dialog, id), SW_SHOW); }

// A stage's mark shows only when the stage did all of its work; its status
// text likewise.
void EndStage(HWND dialog, bool done, int markId, UINT statusId) {
    if (!done) return;
    if (statusId) SetStatus(dialog, statusId);
    ShowControl(dialog, markId);
}

void OnInit(HWND dialog, CUninstallWindowState* state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->m_smallIcon = LoadSmallIcon(IDI_UNINSTALL_SMALL);
    state->m_doneIcon = LoadSmallIcon(IDI_STAGE_DONE);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state->m_smallIcon.Get()));
    for (int id : {IDC_FILES_DONE, IDC_SHORTCUTS_DONE, IDC_REGISTRY_DONE})
        SendDlgItemMessageW(dialog, id, STM_SETICON, reinterpret_cast<WPARAM>(state->m_doneIcon.Get()), 0);
    SetTimer(dialog, kStartTimer, kStartPeriodMs, nullptr);
    if (!AnimateWindow(dialog, installer::kAnimationMs, AW_CENTER | AW_ACTIVATE)) ShowWindow(dialog, SW_SHOW);
}

// The stages that read the installation values; the key is closed before
// the registry stage deletes it.
void RemoveFilesAndShortcuts(HWND dialog, CUninstallReport& report) {
    CRegistryKey productKey = OpenProductKey();
    std::wstring programFolder;
    bool filesDone = RemoveProgramFiles(productKey.Get(), programFolder, report);
    EndStage(dialog, filesDone, IDC_FILES_DONE, IDS_STATUS_FILES_DELETED);
    bool shortcutsDone = RemoveProgramGroup(productKey.Get(), programFolder, report);
    EndStage(dialog, shortcutsDone, IDC_SHORTCUTS_DONE, IDS_STATUS_SHORTCUTS_DELETED);
}

// The whole removal, in one go. A stage that did not do all of its work
// keeps its mark hidden; what went wrong is in the report.
void RunRemoval(HWND dialog, CUninstallReport& report) {
    report = CUninstallReport();
    SetStatus(dialog, IDS_STATUS_STARTING);
    RemoveFilesAndShortcuts(dialog, report);
    bool userKeysDone = RemoveProductKeys(HKEY_CURRENT_USER, report);
    bool machineKeysDone = RemoveProductKeys(HKEY_LOCAL_MACHINE, report);
    EndStage(dialog, userKeysDone && machineKeysDone, IDC_REGISTRY_DONE, 0);
    SetStatus(dialog, report.m_bError ? IDS_STATUS_SEE_DETAILS : IDS_STATUS_COMPLETE);
    if (report.m_bError) ShowControl(dialog, IDC_DETAILS);
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
}

// The removal starts at the first tick at which the window is visible, that
// is after its show animation.
void OnTimer(HWND dialog) {
    if (!IsWindowVisible(dialog)) return;
    KillTimer(dialog, kStartTimer);
    RunRemoval(dialog, StateOf(dialog)->m_report);
}

void ShowReport(HWND dialog) {
    std::wstring caption = installer::LoadText(IDS_REPORT_CAPTION);
    MessageBoxW(dialog, StateOf(dialog)->m_report.m_strText.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

void FadeOutAndClose(HWND dialog) {
    installer::FadeOut(dialog);
    DestroyWindow(dialog);
}

// The icons go with the state, once the window and its controls are gone.
void OnDestroy(HWND dialog) {
    KillTimer(dialog, kStartTimer);
    PostQuitMessage(0);
}

INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, reinterpret_cast<CUninstallWindowState*>(lParam));
        return FALSE;
    case WM_TIMER:
        if (wParam == kStartTimer) OnTimer(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_DETAILS) ShowReport(dialog);
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) FadeOutAndClose(dialog);
        return TRUE;
    case WM_DESTROY:
        if (StateOf(dialog)) OnDestroy(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void RunPhaseTwo(HINSTANCE instance) {
    installer::RegisterURLWindowClass(instance, kLinkLook);
    // The shell link object, which reads the shortcuts, wants COM on this
    // thread.
    bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CUninstallWindowState state;
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_UNINSTALL), nullptr, UninstallDialogProc,
                                     reinterpret_cast<LPARAM>(&state));
    if (dialog) {
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        installer::RunMessageLoop([dialog](MSG& message) { return IsDialogMessageW(dialog, &message) != FALSE; });
    }
    if (comReady) CoUninitialize();
    LeaveWorkFolder();
}

}  // namespace uninstall
