// The first phase of the uninstaller, run from the program folder: asks the
// user, closes a running Veyrith, takes the product out of the system's list
// of installed programs and hands the removal to a copy of itself in the
// temporary folder, because a program cannot remove the folder it runs from.
#pragma once

namespace uninstall {

// The main program's window caption and the message that makes it end its
// scan and close without asking.
constexpr char kMainWindowTitle[] = "Veyrith";
constexpr unsigned kCloseRequestMessage = 0x0400;
constexpr unsigned kCloseWaitMs = 5000;

constexpr char kRegistrationParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kRegistrationName[] = "Veyrith";
constexpr char kTemporaryCopyName[] = "uninst.tmp";
constexpr char kRunArgument[] = " /run";

// Runs the whole first phase; commandLine is the program's own.
void RunPhaseOne(const char* commandLine);

}  // namespace uninstall
