// The quarantine manager: a modal dialog that lists every record of the
// quarantine index and restores a copy to its former place (Enter or
// "&Restore") or deletes it for good ("&Delete"). The list is refilled from
// the index after every record removed, so it always mirrors the index. It
// asks and tells through the desktop it is given.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/desktop.h"
#include "framework/dialog.h"
#include "framework/image_list.h"
#include "framework/list_view_ctrl.h"
#include "quarantine/quarantine_store.h"

class CQuarantineDlg : public fw::Dialog {
public:
    CQuarantineDlg(CDesktop& desktop, const CQuarantineStore& store);

    // Opens the dialog over owner and returns when it closes.
    static INT_PTR Show(HWND owner, CDesktop& desktop, const CQuarantineStore& store);

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    // Restore: the dialog stays open.
    void OnOK() override;

private:
    void OnDelete();
    void SetUpList();
    void FillList();
    void AddRow(const QuarantineRecord& record);
    // The record of the first selected row; false when none is selected.
    bool SelectedRecord(QuarantineRecord& record) const;
    // Refills the list after the tool's change; the message says how it went.
    void Refill(UINT doneMessage);
    bool Confirmed(UINT questionId);
    // Says why the tool did not do it, then the dialog's own failure text.
    void ShowFailure(const ToolResult& result, UINT failedMessage);

    CDesktop& m_desktop;
    const CQuarantineStore& m_store;
    fw::ListViewCtrl m_list;
    fw::ImageList m_icons;
    // One record per row; each row's item data is its index here.
    std::vector<QuarantineRecord> m_records;
};
