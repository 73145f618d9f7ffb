// What the privileged tool removed from the Run keys, kept so that it can be
// shown and put back: the file "autorun.dat" in the quarantine folder, which
// only the tool writes. A Startup shortcut needs no record here: it is backed
// up as a quarantined copy in the quarantine index.
//
// The file is UTF-8 text, CR LF after every line. Its first line is
// "Veyrith autorun backup 1"; a file without it is no record file, and is
// neither read nor replaced. Then seven lines per record, in the order the
// values were removed:
//   [id]        8 upper-case hex digits in brackets
//   root=       HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE
//   view=       32 or 64, the registry view the value was in
//   key=        the Run key below the root
//   name=       the value's name
//   type=       its registry type, in decimal
//   data=       its bytes exactly as read, two upper-case hex digits each
// In key= and name=, "%" and every byte below 0x20 and 0x7F are written as
// "%" and two upper-case hex digits, so a name holding a line break stays on
// its line. A record starts at an id line; lines before one are passed over,
// and a record with an unknown field, a field out of order or an id another
// record has is damaged and left out. Every rewrite writes all sound records
// through "autorun.tmp", created with the quarantine's descriptor, which then
// replaces "autorun.dat" in one move.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct AutorunBackup {
    std::string id;                   // 8 hex digits, compared as a whole
    DWORD rootKey = 0;                // as a request names it: 0x80000001 or 0x80000002
    DWORD view = 0;                   // kRequestView32 or kRequestView64
    std::wstring keyPath;             // the Run key below the root
    std::wstring valueName;           // never empty
    DWORD type = REG_NONE;            // the value's registry type
    std::vector<unsigned char> data;  // the value's bytes
};

// The sound records of a record file's bytes; false when the bytes do not
// start with the file's first line.
bool ParseAutorunBackups(const std::string& bytes, std::vector<AutorunBackup>& records);

// The sound records of folder's record file; empty without one. False when a
// file of that name exists but cannot be read or is no record file.
bool ReadAutorunBackups(const std::wstring& folder, std::vector<AutorunBackup>& records);

// Writes the records as folder's whole record file, readable only by SYSTEM
// and the Administrators, in one replacing move. False when a text has no
// exact UTF-8 form, a record cannot be written as the format says, or the
// file cannot be written; the file is then unchanged.
bool WriteAutorunBackups(const std::wstring& folder, const std::vector<AutorunBackup>& records);

// An id that no record has: the tick count now, stepped on while taken.
std::string NewAutorunBackupId(const std::vector<AutorunBackup>& records);
