// The first phase of the uninstaller, run from the program folder: asks the
// user, takes the product out of the system's list of installed programs and
// hands the removal to a copy of itself in a work folder (work_folder.h),
// because a program cannot remove the folder it runs from.
#pragma once

namespace uninstall {

constexpr wchar_t kRunArgument[] = L" /run";

// Runs the whole first phase.
void RunPhaseOne();

}  // namespace uninstall
