// How a restore puts a file back: into a folder that the tool holds open and
// has checked, by the handles of the file and the folder, so that no link
// swapped into the path afterwards can send the file elsewhere.
#pragma once

#include "common/owners.h"

#include <windows.h>

#include <string>

// Opens the folder that a file goes back into: its handle's final path must
// be folderPath, no part of folderPath from the drive root down may be a
// reparse point, and it is shared for reading and writing but not deleting,
// so that it is neither renamed nor removed while held. Empty otherwise.
CHandle OpenDestinationFolder(const std::wstring& folderPath);

// Moves the open file (opened with read and DELETE access) into the held
// folder as name, never over a file. Where the rename cannot cross volumes,
// the bytes are copied into the folder under a partial name, compared with
// the file, and that file is renamed to name; the file is then deleted
// through its handle. The owner is empty afterwards.
bool MoveIntoFolder(CHandle& file, HANDLE folder, const std::wstring& folderPath, const std::wstring& name);
