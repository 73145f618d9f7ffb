// The modules of another process, read in one pass. Each call of
// GetModuleFileNameEx walks the other process's loader list again from its
// start, so listing M modules one by one costs about M*M/2 remote reads; a
// module snapshot reads the list once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The full paths of a process's modules, the executable first, each read
// whole however long. False (and no paths) when the process cannot be opened
// or its modules cannot be listed. In a 64-bit program the modules of a
// 32-bit process are its 64-bit ones, as EnumProcessModules gives them.
bool ReadProcessModules(DWORD processId, std::vector<std::wstring>& paths);

// The executable of a process (its first module), whole; false when the
// process cannot be listed.
bool ReadProcessExecutable(DWORD processId, std::wstring& path);

// The same paths read the old way, EnumProcessModules and then
// GetModuleFileNameExW for every module. Kept as the reference that the
// benchmarks measure the snapshot against and the tests compare it with;
// the program itself does not use it.
bool ReadProcessModulesOneByOne(DWORD processId, std::vector<std::wstring>& paths);
