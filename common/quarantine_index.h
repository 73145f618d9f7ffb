// The quarantine index "index.dat" in the folder "Quarantined" beside the
// programs: where each backup copy came from. Only the privileged tool
// writes the folder and the index; the scanner reads them.
//
// The index is text, CR LF after every line, three lines per record in the
// order the files were quarantined:
//   id          8 upper-case hex digits, then " UTF-8" in every record this
//               version writes
//   copyPath    the copy's full path in the quarantine folder
//   sourcePath  the file's path when it was quarantined
// A record with the " UTF-8" mark holds its paths in UTF-8; one without it
// was written by an earlier version in the system's ANSI code page, which is
// how it is read. Every rewrite writes all records in the UTF-8 form, through
// "index.tmp" that then replaces "index.dat" in one move.
//
// A record starts with an id line: lines before one (junk, a record cut
// short) are passed over and reading goes on at the next id line. A record
// is damaged, and left out, when its copy's name is no name the file system
// keeps as written (common/file_names.h), names the index, the autorun
// record file or a partial copy, or when another record has the same id:
// nothing is ever done for it.
#pragma once

#include <string>
#include <vector>

struct QuarantineRecord {
    std::string id;           // 8 hex digits, compared as a whole
    std::wstring copyPath;    // the copy: the quarantine folder + its name
    std::wstring sourcePath;  // where the file came from
};

constexpr wchar_t kQuarantineFolderName[] = L"Quarantined";
constexpr wchar_t kQuarantineIndexName[] = L"index.dat";
// A copy is written under a name with this prefix and takes its own name
// only when it is complete and its bytes match; a name with the prefix left
// in the folder is a backup that was interrupted.
constexpr wchar_t kQuarantinePartialPrefix[] = L"~partial-";
// The file that keeps what the tool removed from the Run keys
// (common/autorun_backup.h), and the name it is rewritten through.
constexpr wchar_t kAutorunBackupName[] = L"autorun.dat";
constexpr wchar_t kAutorunRewriteName[] = L"autorun.tmp";

// The security descriptor of the quarantine and of all it holds: a
// protected DACL that gives full control to SYSTEM and the Administrators,
// inherited by what the folder holds. An elevated copy never lets the user
// read a file they could not read before.
extern const wchar_t kAdministratorsOnlySddl[];

// True for a name that a copy may have in the quarantine folder: a name the
// file system keeps as written (IsResolvedName), without "..", DEL, the
// names of the index, the autorun record file and their rewrites, and the
// partial prefix.
bool IsSafeCopyName(const std::wstring& name);

// The sound records of an index's bytes, their copies addressed by name in
// folder (the quarantine folder, without a trailing backslash).
std::vector<QuarantineRecord> ParseQuarantineIndex(const std::string& bytes, const std::wstring& folder);

// The sound records of folder's index; empty without an index. False when an
// index exists but cannot be read.
bool ReadQuarantineIndex(const std::wstring& folder, std::vector<QuarantineRecord>& records);

// Writes the records as folder's whole index, in one replacing move. False
// when a path has no exact UTF-8 form or the index cannot be written; the
// index is then unchanged.
bool WriteQuarantineIndex(const std::wstring& folder, const std::vector<QuarantineRecord>& records);

// An id that no record has: the tick count now, stepped on while taken.
std::string NewQuarantineId(const std::vector<QuarantineRecord>& records);

// The last part of a path (after its last backslash).
std::wstring FileNameOf(const std::wstring& path);
