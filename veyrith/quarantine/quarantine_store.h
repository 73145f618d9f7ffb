// The quarantine: backup copies of removed files in the folder "Quarantined"
// beside the program, and its index "index.dat" that records where each copy
// came from. The index is text, CR LF after every line, three lines per
// record in the order the files were quarantined:
//   id          8 upper-case hex digits, the tick count when it was made,
//               then " UTF-8" in every record this version writes
//   copyPath    the copy's full path in the quarantine folder
//   sourcePath  the file's path when it was quarantined, as given
// A record with the " UTF-8" mark holds its paths in UTF-8; one without it
// was written by an earlier version and holds them in the system's ANSI code
// page, which is how it is read. Every rewrite writes all records in the
// UTF-8 form. A trailing group of fewer than three lines is not a record; it
// is ignored and dropped at the next rewrite. The store shows no messages:
// every operation says true or false and the dialog tells the user.
#pragma once

#include <string>
#include <vector>

struct QuarantineRecord {
    std::string id;           // 8 hex digits, compared as a whole
    std::wstring copyPath;    // full path of the copy
    std::wstring sourcePath;  // where the file came from
};

// The folder the quarantine lives in is the program folder + "Quarantined".
// The program folder defaults to the running executable's folder; tests and
// the frame may set it (with or without a trailing backslash).
void SetQuarantineProgramFolder(const std::wstring& programFolder);
// The quarantine folder, without a trailing backslash.
std::wstring QuarantineFolder();

// Copies sourcePath into the quarantine folder (through the tool's -copy
// when the program's own copy fails) and appends its record to the index.
// The copy takes the source's file name, or "name[2].ext", "name[3].ext"...
// when an earlier copy already holds that name. The source stays where it
// is. False when no copy could be made, the index cannot be written, or the
// path has no exact UTF-8 form (an unpaired surrogate): then nothing is
// copied.
bool QuarantineFile(const wchar_t* sourcePath);

// Every complete record of the index, in file order; empty without index.
std::vector<QuarantineRecord> ReadQuarantineRecords();

// Rewrites the index without every record whose id equals id, through
// "index.tmp" which then replaces "index.dat". False when the index cannot
// be read or rewritten or the replacement fails; the index is then unchanged.
bool RemoveQuarantineRecord(const std::string& id);

// Moves the copy back to sourcePath (through the tool's -move when the
// program's own move fails). Fails when a file stands at sourcePath; the
// copy then stays. The caller removes the record after success.
bool RestoreQuarantinedFile(const std::wstring& copyPath, const std::wstring& sourcePath);

// Deletes the copy; no fallback on the tool.
bool DeleteQuarantinedCopy(const std::wstring& copyPath);
