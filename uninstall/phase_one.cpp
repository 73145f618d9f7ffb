#include "uninstall/phase_one.h"

#include "uninstall/command_line.h"
#include "uninstall/resources/resource.h"
#include "uninstall/texts.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace uninstall {
namespace {

bool UserConfirms() {
    std::string text = LoadText(IDS_CONFIRM_REMOVAL);
    std::string caption = LoadText(IDS_CONFIRM_CAPTION);
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// A top-level window captioned exactly "Veyrith" that is not a dialog: the
// program's message boxes carry the same caption, and one of them may lie
// above the main window.
BOOL CALLBACK FindMainWindow(HWND window, LPARAM found) {
    char caption[sizeof(kMainWindowTitle) + 1] = {};
    char className[8] = {};
    GetWindowTextA(window, caption, sizeof(caption));
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(caption, kMainWindowTitle) != 0 || strcmp(className, "#32770") == 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Asks a running Veyrith to close and gives it time to let go of its files.
void CloseRunningProgram() {
    HWND mainWindow = nullptr;
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&mainWindow));
    if (!mainWindow) return;
    PostMessageA(mainWindow, kCloseRequestMessage, 0, 0);
    Sleep(kCloseWaitMs);
}

// From here on the product is gone from the system's list of installed
// programs, whatever the removal does.
void DeleteRegistration() {
    HKEY parent = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRegistrationParent, 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS)
        return;
    RegDeleteKeyA(parent, kRegistrationName);
    RegCloseKey(parent);
}

// The temporary folder as the system reports it, + "\uninst.tmp".
std::string TemporaryCopyPath() {
    char folder[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string path(folder, length);
    if (path.back() == '\\') path.pop_back();
    return path + "\\" + kTemporaryCopyName;
}

// Starts the copy with "/run" and does not wait for it. The path is also
// given as the program name, so a temporary folder with spaces in its path
// cannot be mistaken for another program.
bool StartCopy(const std::string& copyPath) {
    std::string commandLine = copyPath + kRunArgument;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(copyPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

void RunPhaseOne(const char* commandLine) {
    if (!UserConfirms()) return;
    CloseRunningProgram();
    DeleteRegistration();
    std::string copyPath = TemporaryCopyPath();
    if (copyPath.empty()) return;
    if (!CopyFileA(ProgramPathOf(commandLine).c_str(), copyPath.c_str(), FALSE)) return;
    StartCopy(copyPath);
}

}  // namespace uninstall
