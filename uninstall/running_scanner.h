// Ending a running scanner before its files are deleted. The scanner is the
// top-level window of the main window class with the caption "Veyrith" whose
// process runs veyrith.exe from the program folder: another program's window
// with that caption (an Explorer window on the program folder, say) is never
// asked to close.
#pragma once

#include <string>

namespace uninstall {

// Asks every scanner of the program folder to close (the close request
// message) and waits up to 5 s for them to end. True when no process runs
// the program folder's veyrith.exe any more, windowed or not.
bool EndScanner(const std::wstring& programFolder);

}  // namespace uninstall
