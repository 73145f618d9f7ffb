// Whether a process id still names the process a record was taken from. The
// system gives an id again once its process has ended, so a record that is
// minutes old may name another program: before a row is shown and right
// before an action on it, the process must still run the record's image
// and, where the record knows it, have the record's creation time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "findings/findings.h"

// The full path of the image the process runs, read with limited query
// rights (this also reads 64-bit processes from a 32-bit program). False
// when the process cannot be opened or has ended.
bool ReadProcessImage(DWORD processId, std::wstring& image);

// When the process was created; false when it cannot be read.
bool ReadProcessCreationTime(HANDLE process, FILETIME& created);
// The same for a process id, opened with limited query rights.
bool ReadProcessCreationTime(DWORD processId, FILETIME& created);

// True when processId runs a process of imagePath (long, case-insensitive
// compare) that is still running and, when created is not zero, was
// created at that time.
bool IsSameProcess(DWORD processId, const wchar_t* imagePath, const FILETIME& created);

// The same check for a record's process.
bool IsRecordProcess(const CListItemState& record);

// Drops the records whose process has ended or whose id now names another.
void DropChangedProcesses(std::vector<CListItemState>& records);
