#include "wizard.h"

#include "common/owners.h"
#include "common/product.h"
#include "hover.h"
#include "installation.h"
#include "installer_shared/texts.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace {

const UINT kHoverTimer = 1;

void SetResult(HWND page, LONG_PTR result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
}

void SetButtons(HWND page, DWORD buttons) {
    PropSheet_SetWizButtons(GetParent(page), buttons);
}

// The item's text, cut to fit the buffer (with its terminating zero).
template <size_t Size>
void ReadItemText(HWND page, int id, wchar_t (&buffer)[Size]) {
    buffer[0] = L'\0';
    GetDlgItemTextW(page, id, buffer, static_cast<int>(Size));
}

// Every page refuses the sheet's own Cancel and asks the main window to
// close, which asks the user first; so the wizard stays as it was on "No".
bool HandleCommonNotify(CSetupState& state, HWND page, int index, const NMHDR* header) {
    if (header->code == PSN_SETACTIVE) state.m_nCurrentPage = index;
    if (header->code != PSN_QUERYCANCEL) return false;
    PostMessageW(state.m_hMainWindow, WM_CLOSE, 0, 0);
    SetResult(page, TRUE);
    return true;
}

void CentreOver(HWND window, HWND over) {
    RECT outer, inner;
    GetWindowRect(over, &outer);
    GetWindowRect(window, &inner);
    int x = outer.left + ((outer.right - outer.left) - (inner.right - inner.left)) / 2;
    int y = outer.top + ((outer.bottom - outer.top) - (inner.bottom - inner.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR WelcomePage(CSetupState& state, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        CentreOver(GetParent(page), state.m_hMainWindow);
        SetTimer(page, kHoverTimer, 100, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kHoverTimer) UpdateButtonHighlight(state.m_hHighlighted);
        return TRUE;
    case WM_DESTROY:
        KillTimer(page, kHoverTimer);
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (HandleCommonNotify(state, page, 0, header)) return TRUE;
        if (header->code == PSN_SETACTIVE) SetButtons(page, PSWIZB_NEXT);
        return header->code == PSN_SETACTIVE;
    }
    default:
        return FALSE;
    }
}

// The licence is a text file of the code page in the resources.
std::wstring LicenseText(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_LICENSE), RT_LICENSE_TEXT);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    int size = bytes ? static_cast<int>(SizeofResource(instance, found)) : 0;
    int chars = size ? MultiByteToWideChar(CP_ACP, 0, bytes, size, nullptr, 0) : 0;
    if (chars <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes, size, &text[0], chars);
    return text;
}

void UpdateLicenseButtons(HWND page) {
    bool accepted = IsDlgButtonChecked(page, IDC_LICENSE_YES) == BST_CHECKED;
    SetButtons(page, accepted ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

INT_PTR LicensePage(CSetupState& state, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(page, IDC_LICENSE_TEXT, LicenseText(state.m_hInstance).c_str());
        CheckRadioButton(page, IDC_LICENSE_YES, IDC_LICENSE_NO, IDC_LICENSE_NO);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_LICENSE_YES || LOWORD(wParam) == IDC_LICENSE_NO)
            UpdateLicenseButtons(page);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (HandleCommonNotify(state, page, 1, header)) return TRUE;
        if (header->code == PSN_SETACTIVE) UpdateLicenseButtons(page);
        return header->code == PSN_SETACTIVE;
    }
    default:
        return FALSE;
    }
}

std::wstring DefaultFolder() {
    wchar_t windows[MAX_PATH] = L"";
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows, 3) + installer::LoadText(IDS_DEFAULT_FOLDER_TAIL);
}

void UpdateFolderButtons(HWND page) {
    bool empty = GetWindowTextLengthW(GetDlgItem(page, IDC_FOLDER_EDIT)) == 0;
    SetButtons(page, empty ? PSWIZB_BACK : PSWIZB_BACK | PSWIZB_NEXT);
}

void BrowseForFolder(HWND page) {
    std::wstring title = installer::LoadText(IDS_SELECT_FOLDER);
    BROWSEINFOW browse = {};
    browse.hwndOwner = page;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    CTaskMemory chosen(SHBrowseForFolderW(&browse));
    if (!chosen) return;
    wchar_t path[MAX_PATH] = L"";
    if (SHGetPathFromIDListW(static_cast<LPCITEMIDLIST>(chosen.Get()), path))
        SetDlgItemTextW(page, IDC_FOLDER_EDIT, path);
}

INT_PTR FolderPage(CSetupState& state, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(page, IDC_FOLDER_EDIT, DefaultFolder().c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_FOLDER_BROWSE) BrowseForFolder(page);
        if (LOWORD(wParam) == IDC_FOLDER_EDIT && HIWORD(wParam) == EN_CHANGE)
            UpdateFolderButtons(page);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (HandleCommonNotify(state, page, 2, header)) return TRUE;
        if (header->code == PSN_SETACTIVE) UpdateFolderButtons(page);
        if (header->code == PSN_WIZNEXT) ReadItemText(page, IDC_FOLDER_EDIT, state.m_szProgramFolder);
        return header->code == PSN_SETACTIVE || header->code == PSN_WIZNEXT;
    }
    default:
        return FALSE;
    }
}

// Next on the group page stores the choices and installs; the wizard moves
// on only when the installation ended normally.
void LeaveGroupPage(CSetupState& state, HWND page) {
    ReadItemText(page, IDC_GROUP_EDIT, state.m_szProgramGroup);
    state.m_bAllUsers = IsDlgButtonChecked(page, IDC_GROUP_ALL_USERS) == BST_CHECKED;
    SetResult(page, RunInstallationDialog(state, GetParent(page)) ? 0 : -1);
}

INT_PTR GroupPage(CSetupState& state, HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(page, IDC_GROUP_EDIT, installer::LoadText(IDS_DEFAULT_GROUP).c_str());
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (HandleCommonNotify(state, page, 3, header)) return TRUE;
        if (header->code == PSN_SETACTIVE) SetButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        if (header->code == PSN_WIZNEXT) LeaveGroupPage(state, page);
        return header->code == PSN_SETACTIVE || header->code == PSN_WIZNEXT;
    }
    default:
        return FALSE;
    }
}

void ShowFinishChecks(const CSetupState& state, HWND page) {
    bool vista = IsVistaOrLater();
    CheckDlgButton(page, IDC_VIEW_HELP, !vista && state.m_bViewHelp ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_LAUNCH, !vista && state.m_bLaunchProgram ? BST_CHECKED : BST_UNCHECKED);
    ShowWindow(GetDlgItem(page, IDC_VIEW_HELP), vista ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(page, IDC_LAUNCH), vista ? SW_HIDE : SW_SHOW);
}

void OpenInstalled(const CSetupState& state, const wchar_t* file) {
    std::wstring path = std::wstring(state.m_szProgramFolder) + L"\\" + file;
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, state.m_szProgramFolder, SW_SHOWNORMAL);
}

// Finish: start what the user asked for (before Vista only), write the
// registry values, then let the main window take the wizard down.
void Finish(CSetupState& state, HWND page) {
    state.m_bViewHelp = IsDlgButtonChecked(page, IDC_VIEW_HELP) == BST_CHECKED;
    state.m_bLaunchProgram = IsDlgButtonChecked(page, IDC_LAUNCH) == BST_CHECKED;
    if (!IsVistaOrLater()) {
        if (state.m_bViewHelp) OpenInstalled(state, kHelpFileNameW);
        if (state.m_bLaunchProgram) OpenInstalled(state, kProgramFileNameW);
    }
    WriteRegistryValues(state);
    PostMessageW(state.m_hMainWindow, kWizardFinishedMessage, 0, 0);
}

INT_PTR FinishPage(CSetupState& state, HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ShowFinishChecks(state, page);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (HandleCommonNotify(state, page, 4, header)) return TRUE;
        if (header->code == PSN_SETACTIVE) SetButtons(page, PSWIZB_FINISH);
        if (header->code == PSN_WIZFINISH) {
            Finish(state, page);
            SetResult(page, TRUE);
        }
        return header->code == PSN_SETACTIVE || header->code == PSN_WIZFINISH;
    }
    default:
        return FALSE;
    }
}

using PageHandler = INT_PTR (*)(CSetupState& state, HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Every page keeps the state that its PROPSHEETPAGE carries on
// WM_INITDIALOG; the few messages before that get no handling.
template <PageHandler Handler>
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) KeepPageState(page, lParam);
    CSetupState* state = DialogState(page);
    return state ? Handler(*state, page, message, wParam, lParam) : FALSE;
}

struct PageInfo {
    UINT templateId;
    DLGPROC proc;
    UINT titleId;
    UINT subtitleId;
};
const PageInfo kPages[] = {
    {IDD_WELCOME, PageProc<WelcomePage>, IDS_WELCOME_TITLE, IDS_WELCOME_SUBTITLE},
    {IDD_LICENSE, PageProc<LicensePage>, IDS_LICENSE_TITLE, IDS_LICENSE_SUBTITLE},
    {IDD_FOLDER, PageProc<FolderPage>, IDS_FOLDER_TITLE, IDS_FOLDER_SUBTITLE},
    {IDD_GROUP, PageProc<GroupPage>, IDS_GROUP_TITLE, IDS_GROUP_SUBTITLE},
    {IDD_FINISH, PageProc<FinishPage>, IDS_FINISH_TITLE, IDS_FINISH_SUBTITLE},
};
const int kPageCount = sizeof(kPages) / sizeof(kPages[0]);

HWND CreateSheet(CSetupState& state, HWND owner, UINT headerSize) {
    PROPSHEETPAGEW pages[kPageCount] = {};
    for (int i = 0; i < kPageCount; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
        pages[i].hInstance = state.m_hInstance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(kPages[i].templateId);
        pages[i].pfnDlgProc = kPages[i].proc;
        pages[i].lParam = reinterpret_cast<LPARAM>(&state);
        pages[i].pszHeaderTitle = MAKEINTRESOURCEW(kPages[i].titleId);
        pages[i].pszHeaderSubTitle = MAKEINTRESOURCEW(kPages[i].subtitleId);
    }
    std::wstring caption = installer::LoadText(IDS_APP_TITLE);
    PROPSHEETHEADERW header = {};
    header.dwSize = headerSize;
    header.dwFlags = PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_USEICONID | PSH_PROPSHEETPAGE |
                     PSH_MODELESS;
    header.hwndParent = owner;
    header.hInstance = state.m_hInstance;
    header.pszIcon = MAKEINTRESOURCEW(IDI_SETUP);
    header.pszCaption = caption.c_str();
    header.nPages = kPageCount;
    header.ppsp = pages;
    header.pszbmWatermark = MAKEINTRESOURCEW(IDB_WATERMARK);
    INT_PTR sheet = PropertySheetW(&header);
    return sheet > 0 ? reinterpret_cast<HWND>(sheet) : nullptr;
}

void OfferCommonControlsUpdate(HWND owner) {
    std::wstring address = installer::LoadText(IDS_COMCTL_ADDRESS);
    std::wstring text = installer::FormatText(installer::LoadText(IDS_OBSOLETE_COMCTL), {address});
    if (SetupMessageBox(owner, text, MB_ICONINFORMATION | MB_YESNO) == IDYES)
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

bool CreateWizard(CSetupState& state, HWND owner) {
    state.m_hWizard = CreateSheet(state, owner, sizeof(PROPSHEETHEADERW));
    if (!state.m_hWizard) state.m_hWizard = CreateSheet(state, owner, PROPSHEETHEADERW_V1_SIZE);
    if (state.m_hWizard) return true;
    OfferCommonControlsUpdate(owner);
    return false;
}

void ReselectCurrentPage(const CSetupState& state) {
    PropSheet_SetCurSel(state.m_hWizard, nullptr, state.m_nCurrentPage);
}

bool IsWizardMessage(const CSetupState& state, MSG& message) {
    return message.message != WM_CHAR && state.m_hWizard && IsWindow(state.m_hWizard) &&
           PropSheet_IsDialogMessage(state.m_hWizard, &message);
}
