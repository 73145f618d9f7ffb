// The quarantine: backup copies of removed files in the folder "Quarantined"
// beside the program, and its index "index.dat" that records where each copy
// came from. The index is ANSI text, CR LF after every line, three lines per
// record in the order the files were quarantined:
//   id          8 upper-case hex digits, the tick count when it was made
//   copyPath    the copy's full path in the quarantine folder
//   sourcePath  the file's path when it was quarantined, as given
// A trailing group of fewer than three lines is not a record; it is ignored
// and dropped at the next rewrite. The store shows no messages: every
// operation says true or false and the dialog tells the user.
#pragma once

#include <string>
#include <vector>

struct QuarantineRecord {
    std::string id;          // 8 hex digits, compared as a whole
    std::string copyPath;    // full path of the copy
    std::string sourcePath;  // where the file came from
};

// The folder the quarantine lives in is the program folder + "Quarantined".
// The program folder defaults to the running executable's folder; tests and
// the frame may set it (with or without a trailing backslash).
void SetQuarantineProgramFolder(const std::string& programFolder);
// The quarantine folder, without a trailing backslash.
std::string QuarantineFolder();

// Copies sourcePath into the quarantine folder (through the tool's -copy
// when the program's own copy fails) and appends its record to the index.
// The copy takes the source's file name, or "name[2].ext", "name[3].ext"...
// when an earlier copy already holds that name. The source stays where it
// is. False when no copy could be made or the index cannot be written.
bool QuarantineFile(const char* sourcePath);

// Every complete record of the index, in file order; empty without index.
std::vector<QuarantineRecord> ReadQuarantineRecords();

// Rewrites the index without every record whose id equals id, through
// "index.tmp" which then replaces "index.dat". False when the index cannot
// be read or rewritten or the replacement fails; the index is then unchanged.
bool RemoveQuarantineRecord(const std::string& id);

// Moves the copy back to sourcePath (through the tool's -move when the
// program's own move fails). Fails when a file stands at sourcePath; the
// copy then stays. The caller removes the record after success.
bool RestoreQuarantinedFile(const std::string& copyPath, const std::string& sourcePath);

// Deletes the copy; no fallback on the tool.
bool DeleteQuarantinedCopy(const std::string& copyPath);
