// The quarantine as the scanner sees it: the backup copies in the folder
// "Quarantined" beside the program and their index (common/quarantine_index.h).
// The folder is written only by the privileged tool, which makes, restores
// and deletes the copies and keeps the index; the scanner reads the index and
// asks. The store shows no messages of its own (the tool client says when
// the tool cannot be started, with the system's text, or when a path is too
// long): every operation says true or false and the caller tells the user.
#pragma once

#include <string>
#include <vector>

#include "common/quarantine_index.h"

// The folder the quarantine lives in is the program folder + "Quarantined".
// The program folder defaults to the running executable's folder; tests and
// the frame may set it (with or without a trailing backslash). The tool
// keeps its quarantine beside itself: the two are one folder.
void SetQuarantineProgramFolder(const std::wstring& programFolder);
// The quarantine folder, without a trailing backslash.
std::wstring QuarantineFolder();

// Has the tool copy sourcePath into the quarantine folder and record it. The
// copy takes the source's file name, or "name[2].ext", "name[3].ext"... when
// that name is taken. The source stays where it is. False when no copy was
// made or the path has no exact UTF-8 form (an unpaired surrogate).
bool QuarantineFile(const wchar_t* sourcePath);

// Every sound record of the index, in file order; empty without index.
std::vector<QuarantineRecord> ReadQuarantineRecords();

// Has the tool move the record's copy back to where it came from and drop
// the record. Fails when a file stands there; the copy then stays.
bool RestoreQuarantinedFile(const QuarantineRecord& record);

// Has the tool delete the record's copy and drop the record.
bool DeleteQuarantinedCopy(const QuarantineRecord& record);
