// The quarantine as the scanner sees it: the backup copies in the folder
// "Quarantined" beside the program and their index (common/quarantine_index.h).
// The folder is written only by the privileged tool, which makes, restores
// and deletes the copies and keeps the index; the scanner reads the index and
// asks. The store shows no messages: every operation gives the tool's
// result (with the reason when the tool did not run) and the caller tells
// the user through its desktop.
#pragma once

#include <string>
#include <vector>

#include "common/quarantine_index.h"
#include "tool/tool_client.h"

// The quarantine beside one program folder: the folder "Quarantined" there,
// written by the tool of that same folder (the tool keeps its quarantine
// beside itself: the two are one folder).
class CQuarantineStore {
public:
    // The program folder, with or without a trailing backslash.
    explicit CQuarantineStore(const std::wstring& programFolder);

    // The quarantine folder, without a trailing backslash.
    std::wstring Folder() const;
    // The tool that writes the folder.
    const CToolClient& Tool() const { return m_tool; }

    // Has the tool copy sourcePath into the quarantine folder and record it.
    // The copy takes the source's file name, or "name[2].ext",
    // "name[3].ext"... when that name is taken. The source stays where it
    // is. Fails (without a tool failure) for a path that has no exact UTF-8
    // form (an unpaired surrogate).
    ToolResult QuarantineFile(const wchar_t* sourcePath) const;

    // Every sound record of the index, in file order; empty without index.
    std::vector<QuarantineRecord> ReadRecords() const;

    // Has the tool move the record's copy back to where it came from and
    // drop the record. Fails when a file stands there; the copy then stays.
    ToolResult Restore(const QuarantineRecord& record) const;

    // Has the tool delete the record's copy and drop the record.
    ToolResult DeleteCopy(const QuarantineRecord& record) const;

private:
    std::wstring InFolder(const std::wstring& name) const;
    bool NameTaken(const std::wstring& name, const std::vector<QuarantineRecord>& records) const;
    std::wstring FreeCopyName(std::wstring name, const std::vector<QuarantineRecord>& records) const;

    CToolClient m_tool;
};
