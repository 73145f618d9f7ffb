// Base of the program's dialogs, modal or modeless, built from a dialog
// template in the resource module. Dialogs are Unicode windows, so their
// controls show paths and names exactly as given in UTF-16. The object is
// bound to its window from WM_INITDIALOG to WM_NCDESTROY through DWLP_USER.
// A Dialog is a Wnd: Item(id) is a control of the dialog, and the handle is
// null while no dialog window exists.
#pragma once

#include "framework/data_exchange.h"
#include "framework/wnd.h"

namespace fw {

class Dialog : public Wnd {
public:
    explicit Dialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns the code it ended with, or -1 when
    // it could not be created.
    INT_PTR DoModal(HWND parent);
    // Creates the dialog modelessly; false on failure.
    bool CreateModeless(HWND parent);

    // Runs the data exchange: from the controls into the members when save
    // is true, from the members into the controls otherwise.
    void UpdateData(bool save);

    // The dialog template the dialog is built from.
    UINT TemplateId() const { return m_templateId; }

protected:
    // WM_INITDIALOG; the default fills the controls from the members.
    // Returns true to let the system set the focus.
    virtual bool OnInit();
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    // WM_NOTIFY; returns true when handled (result in DWLP_MSGRESULT).
    virtual bool OnNotify(NMHDR&) { return false; }
    // The default saves the controls into the members and ends with IDOK.
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange&) {}
    // Every other message; returns true when handled.
    virtual bool OnMessage(UINT /*msg*/, WPARAM, LPARAM, INT_PTR& /*result*/) { return false; }
    // Called after the window is gone and the object unbound.
    virtual void OnFinalMessage() {}

    // Ends a modal dialog with the code, destroys a modeless one.
    void End(INT_PTR code);
    bool IsModal() const { return m_modal; }

private:
    static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    bool m_modal = false;
};

}  // namespace fw
