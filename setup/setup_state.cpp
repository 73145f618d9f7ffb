#include "setup_state.h"

#include "resources/resource.h"

char g_szProgramFolder[255] = "";
char g_szProgramGroup[100] = "";
bool g_bAllUsers = false;
bool g_bViewHelp = false;
bool g_bLaunchProgram = true;

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWindow = nullptr;
HWND g_hWizard = nullptr;

std::string LoadText(UINT id) {
    std::string text(256, '\0');
    for (;;) {
        int length = LoadStringA(g_hInstance, id, &text[0], static_cast<int>(text.size()));
        if (length < static_cast<int>(text.size()) - 1) {
            text.resize(length > 0 ? length : 0);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

int SetupMessageBox(HWND owner, const std::string& text, UINT type) {
    return MessageBoxA(owner, text.c_str(), LoadText(IDS_APP_TITLE).c_str(), type);
}

std::string SourceFolder() {
    std::string line = GetCommandLineA();
    std::string program;
    if (!line.empty() && line[0] == '"') {
        size_t end = line.find('"', 1);
        program = line.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    } else {
        program = line.substr(0, line.find_first_of(" \t"));
    }
    size_t slash = program.rfind('\\');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

bool IsVistaOrLater() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwMajorVersion >= 6;
}
