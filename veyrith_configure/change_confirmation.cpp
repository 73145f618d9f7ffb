#include "change_confirmation.h"

#include <cwchar>

#include "common/string_resource.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR kTimeoutTimerId = 1;
const DWORD kCurrentUserRoot = 0x80000001;

// A string of the table with one number put in for its "%u".
std::wstring WithNumber(UINT id, DWORD number) {
    std::wstring format = LoadResString(id);
    wchar_t text[512] = {};
    _snwprintf(text, 511, format.c_str(), static_cast<unsigned>(number));
    return text;
}

std::wstring Line(UINT labelId, const wchar_t* text) { return L"\r\n" + LoadResString(labelId) + L" " + text; }

// The registry root as the system names it.
std::wstring RootName(DWORD root) {
    return root == kCurrentUserRoot ? L"HKEY_CURRENT_USER\\" : L"HKEY_LOCAL_MACHINE\\";
}

PlannedChange Planned(UINT operationId, std::wstring target) {
    PlannedChange change;
    change.operationId = operationId;
    change.target = std::move(target);
    return change;
}

bool DescribeAutorun(const ToolRequest& request, PlannedChange& change) {
    if (request.id == 1) {
        change = Planned(IDS_CHANGE_REMOVE_RUN_VALUE, RootName(request.rootKey) + request.path +
                                                          Line(IDS_CHANGE_VALUE, request.valueName) +
                                                          Line(IDS_CHANGE_COMMAND, request.target));
        return true;
    }
    if (request.id == 2) {
        change = Planned(IDS_CHANGE_REMOVE_SHORTCUT, request.path);
        return true;
    }
    return false;
}

struct DialogState {
    const PlannedChange* change;
};

INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const PlannedChange& change = *reinterpret_cast<DialogState*>(lParam)->change;
        SetWindowTextW(dialog, LoadResString(IDS_CONFIRM_TITLE).c_str());
        SetDlgItemTextW(dialog, IDC_CHANGE_OPERATION, LoadResString(change.operationId).c_str());
        SetDlgItemTextW(dialog, IDC_CHANGE_TARGET, change.target.c_str());
        SetTimer(dialog, kTimeoutTimerId, kConfirmTimeoutMs, nullptr);
        SetForegroundWindow(dialog);
        // Cancel has the focus: a key pressed by accident changes nothing.
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE;
    }
    case WM_TIMER:
        if (wParam == kTimeoutTimerId) EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            KillTimer(dialog, kTimeoutTimerId);
            EndDialog(dialog, LOWORD(wParam));
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool DescribeChange(ToolSwitch which, const ToolRequest& request, PlannedChange& change) {
    switch (which) {
    case ToolSwitch::Kill:
        change = Planned(IDS_CHANGE_KILL, request.target + (L"\r\n" + WithNumber(IDS_CHANGE_PROCESS_ID, request.id)));
        return true;
    case ToolSwitch::KillDelete:
        change = Planned(IDS_CHANGE_KILL_DELETE,
                         request.path + (L"\r\n" + WithNumber(IDS_CHANGE_PROCESS_ID, request.id)));
        return true;
    case ToolSwitch::MoveReboot: change = Planned(IDS_CHANGE_DELETE_AT_REBOOT, request.path); return true;
    case ToolSwitch::Move:
        change = Planned(IDS_CHANGE_RESTORE, request.target + Line(IDS_CHANGE_FROM_COPY, request.path));
        return true;
    case ToolSwitch::DeleteCopy: change = Planned(IDS_CHANGE_DELETE_COPY, request.path); return true;
    case ToolSwitch::RegAutorun: return DescribeAutorun(request, change);
    case ToolSwitch::Copy:
    case ToolSwitch::Info:
    case ToolSwitch::None: break;
    }
    return false;
}

bool CConfirmWindow::Approve(const PlannedChange& change) {
    DialogState state = {&change};
    INT_PTR answer = DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(IDD_CONFIRM_CHANGE), nullptr, ConfirmProc,
                                     reinterpret_cast<LPARAM>(&state));
    return answer == IDOK;
}
