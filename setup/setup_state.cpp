#include "common/path_identity.h"
#include "setup_state.h"

#include "resources/resource.h"

wchar_t g_szProgramFolder[255] = L"";
wchar_t g_szProgramGroup[100] = L"";
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

std::wstring LoadWideText(UINT id) {
    // Without a buffer, LoadStringW hands out a pointer to the resource text.
    const wchar_t* text = nullptr;
    int length = LoadStringW(g_hInstance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

int SetupMessageBox(HWND owner, const std::string& text, UINT type) {
    return MessageBoxA(owner, text.c_str(), LoadText(IDS_APP_TITLE).c_str(), type);
}

int SetupMessageBox(HWND owner, const std::wstring& text, UINT type) {
    return MessageBoxW(owner, text.c_str(), LoadWideText(IDS_APP_TITLE).c_str(), type);
}

// The command line can be anything its starter chose; the module's own file
// name is where setup really lies.
std::wstring SourceFolder() {
    std::wstring folder = OwnExecutableFolder();
    if (!folder.empty()) folder.pop_back();
    return folder;
}

bool IsVistaOrLater() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwMajorVersion >= 6;
}
