// The actions on a finding, one per command of the main window: end a
// process, remove a file after a backup into the quarantine, take a program
// out of autorun, open a file's folder or Properties, copy its path. Every
// change goes through the privileged tool; the host gives the selection and
// refills the panes afterwards.
#pragma once

#include <string>

#include "actions/action_host.h"

class CActions {
public:
    // Pause after a process was ended, so that the system has let go of it
    // before the tree and the census look again.
    static constexpr DWORD kAfterEndPauseMs = 500;

    explicit CActions(CActionHost& host) : m_host(host) {}

    // End process: the list's selected row, while the list has the focus.
    void EndProcess();
    // Quarantine file: the list's selected row or the tree's module item,
    // whichever pane has the focus.
    void QuarantineFile();
    // Remove from autorun: the list's selected row; the list is refilled.
    void RemoveFromAutorun();
    // View the file: Explorer opens the folder with the file selected.
    void ViewTheFile();
    // Properties: the file's Properties sheet, shown by the tool.
    void ShowProperties();
    // Copy path: the selection path onto the clipboard.
    void CopyPath();

private:
    // A process's file: end the process and delete the file, or delete it
    // at the next start and restart now.
    void RemoveProcessFile();
    // A module in use: delete it at the next start, restarting if asked.
    void RemoveModule();
    // True when the row's process id still names the process the row was
    // taken from; otherwise says that the program has ended, has the list
    // taken again and gives false: nothing may be done to that id.
    bool IsStillRunning(const CListItemState& record);
    // The backup copy before a removal; false (after saying so) when none
    // could be made, and then nothing may be removed.
    bool BackUp(const std::wstring& path);
    // The path by which this program and its tool reach the file of a path
    // of the selection (see PathFor32BitAccess).
    std::wstring FileAccessPath(const std::wstring& path) const;
    // False (after saying so) for a record's path that is empty because the
    // executable's path did not fit the record whole.
    bool CarriesPath(const std::wstring& path) const;
    // The selection path; false when there is none, after saying so when
    // the selected row has no path that could be carried.
    bool GetSelectionPath(std::wstring& path) const;
    // Runs the tool for the record's autorun entry and says how it went;
    // 0 when the entry was not removed and the user must do it.
    DWORD RemoveAutoRunEntry(const CListItemState& record);

    CActionHost& m_host;
};
