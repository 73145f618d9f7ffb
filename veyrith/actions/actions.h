// The actions on a finding, one per command of the main window: end a
// process, remove a file after a backup into the quarantine, take a program
// out of autorun, open a file's folder or Properties, copy its path. Each
// acts on the target it is given; every change goes through the privileged
// tool of the tool client it is given, the backups go into the quarantine
// store it is given, and the host refills the panes afterwards.
#pragma once

#include <string>

#include "actions/action_host.h"
#include "actions/action_target.h"
#include "quarantine/quarantine_store.h"
#include "tool/tool_client.h"

class CActions {
public:
    // Pause after a process was ended, so that the system has let go of it
    // before the tree and the census look again.
    static constexpr DWORD kAfterEndPauseMs = 500;

    CActions(CActionHost& host, const CToolClient& tool, const CQuarantineStore& quarantine)
        : m_host(host), m_tool(tool), m_quarantine(quarantine) {}

    // End process: a row's process. Nothing for another target.
    void EndProcess(const CActionTarget& target);
    // Quarantine file: a row's executable or a module item's file.
    void QuarantineFile(const CActionTarget& target);
    // Remove from autorun: a row's autorun entry; the list is refilled.
    void RemoveFromAutorun(const CActionTarget& target);
    // View the file: Explorer opens the folder with the file selected.
    void ViewTheFile(const CActionTarget& target);
    // Properties: the file's Properties sheet, shown by the tool.
    void ShowProperties(const CActionTarget& target);
    // Copy path: the target's path onto the clipboard.
    void CopyPath(const CActionTarget& target);

private:
    // A process's file: end the process and delete the file, or delete it
    // at the next start and restart now.
    void RemoveProcessFile(const CActionTarget& row);
    // A module in use: delete it at the next start, restarting if asked.
    void RemoveModule(const CActionTarget& module);
    // True when the row's process id still names the process the row was
    // taken from; otherwise says that the program has ended, has the list
    // taken again and gives false: nothing may be done to that id.
    bool IsStillRunning(const CListItemState& record);
    // The backup copy before a removal; false (after saying so) when none
    // could be made, and then nothing may be removed.
    bool BackUp(const std::wstring& path);
    // The path by which this program and its tool reach the target's file
    // (see PathFor32BitAccess).
    static std::wstring FileAccessPath(const CActionTarget& target);
    // False (after saying so) for a record's path that is empty because the
    // executable's path did not fit the record whole.
    bool CarriesPath(const std::wstring& path);
    // True when the target names a file; false when it names none, after
    // saying so for a row whose path could not be carried.
    bool HasPath(const CActionTarget& target);
    // Runs the tool for the record's autorun entry and says how it went;
    // false when the entry was not removed and the user must do it.
    bool RemoveAutoRunEntry(const CListItemState& record, bool in64BitView);
    // True when the tool did it; otherwise says why the tool did not run,
    // if it did not, then shows the failure's message.
    bool Done(const ToolResult& result, UINT failedMessage);
    // The status bar says that the tool is making a change.
    void Announce();
    int Say(UINT stringId, UINT type) { return m_host.Desktop().ShowMessage(stringId, type); }

    CActionHost& m_host;
    const CToolClient& m_tool;
    const CQuarantineStore& m_quarantine;
};
