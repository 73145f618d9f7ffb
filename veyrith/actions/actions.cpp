#include "actions/actions.h"

#include "actions/clipboard.h"
#include "actions/confirm_dialogs.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "census/census.h"
#include "scanner/probe64_client.h"
#include "scanner/process_identity.h"

void CActions::EndProcess(const CActionTarget& target) {
    if (!target.IsRow()) return;
    const CListItemState& record = target.record;
    CConfirmKillDlg dialog(m_host.BoldFont(), record.m_szPath);
    if (m_host.Desktop().Confirm(dialog, m_host.HostWindow()) != IDOK) return;
    if (!IsStillRunning(record)) return;
    Announce();
    if (!Done(m_tool.Kill(record.m_dwProcessId, record.m_szPath), IDS_UNABLE_TO_TERMINATE)) return;
    Sleep(kAfterEndPauseMs);
    m_host.RebuildModuleTree();
}

void CActions::QuarantineFile(const CActionTarget& target) {
    if (target.IsRow())
        RemoveProcessFile(target);
    else if (target.IsModule())
        RemoveModule(target);
}

void CActions::RemoveProcessFile(const CActionTarget& row) {
    if (!CarriesPath(row.path)) return;
    const CListItemState& record = row.record;
    const std::wstring& path = row.path;
    const std::wstring file = FileAccessPath(row);
    CChooseDeleteMethodDlg dialog(m_host.BoldFont(), path);
    if (m_host.Desktop().Confirm(dialog, m_host.HostWindow()) != IDOK) return;
    if (!IsStillRunning(record)) return;
    Announce();
    if (!BackUp(file)) return;
    Announce();
    // The deletion at the next start is done by the system itself, which
    // knows the path as the program's own; everything else is done now, by
    // this program and its tool, through the path they reach the file by.
    if (dialog.m_nMethod == CChooseDeleteMethodDlg::kAtReboot) {
        if (!Done(m_tool.DeleteAtReboot(path.c_str()), IDS_OPERATION_FAILED)) return;
        m_host.Desktop().Restart();
    } else {
        if (!Done(m_tool.KillAndDelete(file.c_str(), record.m_dwProcessId, record.m_szPath), IDS_OPERATION_FAILED))
            return;
        m_host.RebuildModuleTree();
    }
    m_host.SetMessageText(LoadResString(IDS_OPERATION_COMPLETED));
}

void CActions::RemoveModule(const CActionTarget& module) {
    const std::wstring& path = module.path;
    if (path.empty()) return;
    CDeleteDllDlg dialog(m_host.BoldFont(), path);
    dialog.m_bReboot = true;
    if (m_host.Desktop().Confirm(dialog, m_host.HostWindow()) != IDOK) return;
    Announce();
    if (!BackUp(FileAccessPath(module))) return;
    Announce();
    if (!Done(m_tool.DeleteAtReboot(path.c_str()), IDS_OPERATION_FAILED)) return;
    if (dialog.m_bReboot) m_host.Desktop().Restart();
    // The module stays in the tree: it is gone only after the restart.
    m_host.SetMessageText(LoadResString(IDS_OPERATION_COMPLETED));
}

bool CActions::IsStillRunning(const CListItemState& record) {
    if (IsRecordProcess(record)) return true;
    Say(IDS_PROCESS_ENDED, MB_OK | MB_ICONEXCLAMATION);
    // The list is taken again, without the row.
    m_host.RebuildModuleTree();
    return false;
}

std::wstring CActions::FileAccessPath(const CActionTarget& target) {
    return target.is64Bit ? PathFor32BitAccess(target.path) : target.path;
}

// A record's path is empty only when the executable's path did not fit the
// record whole: it names no file that an action may touch.
bool CActions::CarriesPath(const std::wstring& path) {
    if (!path.empty()) return true;
    Say(IDS_TOOL_PATH_TOO_LONG, MB_OK | MB_ICONSTOP);
    return false;
}

bool CActions::HasPath(const CActionTarget& target) {
    if (target.IsRow()) return CarriesPath(target.path);
    return target.IsModule() && !target.path.empty();
}

bool CActions::BackUp(const std::wstring& path) {
    // A path the tool cannot take is refused with its own message before
    // anything is copied.
    if (!FitsToolRequest(path.c_str())) {
        Say(IDS_TOOL_PATH_TOO_LONG, MB_OK | MB_ICONSTOP);
        return false;
    }
    // Without a copy in the quarantine the removal could not be undone.
    return Done(m_quarantine.QuarantineFile(path.c_str()), IDS_BACKUP_FAILED);
}

void CActions::Announce() { m_host.SetMessageText(LoadResString(IDS_TOOL_RUNNING)); }

bool CActions::Done(const ToolResult& result, UINT failedMessage) {
    m_host.SetMessageText(std::wstring());
    if (result.Succeeded()) return true;
    ShowToolFailure(m_host.Desktop(), result);
    Say(failedMessage, MB_OK | MB_ICONSTOP);
    return false;
}

void CActions::RemoveFromAutorun(const CActionTarget& target) {
    if (!target.IsRow()) return;
    CConfirmRemoveAutorunDlg dialog(m_host.BoldFont(), target.record);
    if (m_host.Desktop().Confirm(dialog, m_host.HostWindow()) != IDOK) return;
    // A 64-bit row's entry was read by the companion: it is read again here.
    if (target.is64Bit && !IsTakenAutoRunCurrent(dialog.m_item.m_autoRun)) {
        Say(IDS_AUTORUN_ENTRY_GONE, MB_OK | MB_ICONEXCLAMATION);
        m_host.RefreshList();
        return;
    }
    if (!RemoveAutoRunEntry(dialog.m_item, target.is64Bit)) Say(IDS_AUTORUN_REMOVAL_FAILED, MB_OK | MB_ICONSTOP);
    // The inventory is read again, so the row shows what is left.
    m_host.RefreshList();
}

bool CActions::RemoveAutoRunEntry(const CListItemState& record, bool in64BitView) {
    const CAutoRunInfo& entry = record.m_autoRun;
    Announce();
    ToolResult result = m_tool.RemoveAutoRun(record, in64BitView);
    m_host.SetMessageText(std::wstring());
    ShowToolFailure(m_host.Desktop(), result);
    switch (entry.m_nType) {
    case AUTORUN_REGISTRY:
    case AUTORUN_SHORTCUT:
        if (result.Succeeded())
            m_host.Desktop().ShowMessage(FormatResString(IDS_AUTORUN_REMOVED, entry.m_szLocation),
                                         MB_OK | MB_ICONINFORMATION);
        return result.Succeeded();
    case AUTORUN_WININI:
        // win.ini is left to the user, who is told where to look.
        Say(IDS_WININI_NOT_SUPPORTED, MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    return false;
}

void CActions::ViewTheFile(const CActionTarget& target) {
    if (!HasPath(target)) return;
    m_host.Desktop().ShellOpen(m_host.HostWindow(), L"open", L"explorer.exe", L"/select,\"" + target.path + L"\"",
                               SW_SHOW);
}

void CActions::ShowProperties(const CActionTarget& target) {
    if (!HasPath(target)) return;
    ShowToolFailure(m_host.Desktop(),
                    m_tool.ShowProperties(m_host.Desktop(), m_host.HostWindow(), FileAccessPath(target).c_str()));
}

void CActions::CopyPath(const CActionTarget& target) {
    if (!HasPath(target)) return;
    CopyTextToClipboard(m_host.HostWindow(), target.path);
}
