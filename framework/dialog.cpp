#include "framework/dialog.h"

#include "framework/application.h"
#include "common/string_resource.h"

namespace fw {

Dialog::~Dialog() {
    if (!Handle()) return;
    HWND hwnd = Handle();
    Attach(nullptr);
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    DestroyWindow(hwnd);
}

INT_PTR Dialog::DoModal(HWND parent) {
    if (Handle()) return -1;
    m_modal = true;
    return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(m_templateId), parent,
                           &Dialog::StaticProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HWND parent) {
    if (Handle()) return false;
    m_modal = false;
    return CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(m_templateId), parent,
                              &Dialog::StaticProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::UpdateData(bool save) {
    DataExchange dx(Handle(), save);
    DoDataExchange(dx);
}

bool Dialog::OnInit() {
    UpdateData(false);
    return true;
}

bool Dialog::OnCommand(UINT id, UINT, HWND) {
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void Dialog::OnOK() {
    UpdateData(true);
    End(IDOK);
}

void Dialog::OnCancel() { End(IDCANCEL); }

void Dialog::End(INT_PTR code) {
    if (m_modal)
        EndDialog(Handle(), code);
    else
        Destroy();
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        self->Attach(hwnd);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    // Messages before WM_INITDIALOG (WM_SETFONT and the like) are left to
    // the dialog manager.
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->Dispatch(msg, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        if (!self->m_modal) SetActiveModelessDialog(hwnd, false);
        self->Attach(nullptr);
        try {
            self->OnFinalMessage();
        } catch (...) {
        }
    }
    return result;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_ACTIVATE:
        // The message loop offers keys to the active modeless dialog.
        if (!m_modal) SetActiveModelessDialog(Handle(), LOWORD(wParam) != WA_INACTIVE);
        break;
    }
    INT_PTR result = FALSE;
    return OnMessage(msg, wParam, lParam, result) ? result : FALSE;
}

}  // namespace fw
