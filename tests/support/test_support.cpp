#include "test_support.h"

#include <cstdio>

namespace testing_support {

std::wstring Wide(const std::string& text) {
    int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], chars);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &narrow[0], bytes, nullptr,
                            nullptr);
    return narrow;
}

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = 0;
    return path;
}

TempFolder::TempFolder() {
    static LONG counter = 0;
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    char name[MAX_PATH];
    snprintf(name, sizeof(name), "%sveyrith-test-%lu-%ld-%lu\\", base, GetCurrentProcessId(),
             InterlockedIncrement(&counter), GetTickCount());
    m_path = name;
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() { DeleteTree(m_path); }

bool WriteTextFile(const std::string& path, const std::string& text) { return WriteTextFile(Wide(path), text); }
std::string ReadTextFile(const std::string& path) { return ReadTextFile(Wide(path)); }
bool FileExists(const std::string& path) { return FileExists(Wide(path)); }
bool DeleteTree(const std::string& folder) { return DeleteTree(Wide(folder)); }

bool WriteTextFile(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

std::string ReadTextFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) text.append(chunk, got);
    CloseHandle(file);
    return text;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DeleteTree(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = base + name;
            // A folder link goes as itself: what it leads to is not this tree's.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveDirectoryW(full.c_str());
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryW(base.c_str()) != 0;
}

ChildProcess::~ChildProcess() { End(); }

bool ChildProcess::Start(const std::string& commandLine) { return Start(Wide(commandLine)); }

bool ChildProcess::Start(const std::wstring& commandLine) {
    End();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &m_info) != 0;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD* exitCode) {
    if (!m_info.hProcess) return false;
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

bool ChildProcess::Running() const {
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::End() {
    if (!m_info.hProcess) return;
    if (Running()) {
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hProcess);
    CloseHandle(m_info.hThread);
    m_info = PROCESS_INFORMATION();
}

DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs) {
    ChildProcess child;
    if (!child.Start(commandLine)) return 0xDEADBEEF;
    DWORD code = 0xDEADBEEF;
    if (!child.Wait(timeoutMs, &code)) return 0xDEADBEEF;
    return code;
}

DWORD RunToEndWithOutput(const std::string& commandLine, DWORD timeoutMs, std::string& output) {
    output.clear();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return 0xDEADBEEF;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info = {};
    std::wstring line = Wide(commandLine);
    BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    DWORD code = 0xDEADBEEF;
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        // The pipe ends when the program does (it holds the only write end).
        while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read) output.append(buffer, read);
        if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(readEnd);
    return code;
}

bool ProcessExists(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return false;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

bool SetBinaryValue(HKEY root, const char* key, const char* name, const void* data, DWORD size) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(h, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

bool SetStringValue(HKEY root, const char* key, const char* name, const std::string& value,
                    DWORD type) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(h, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const char* key, const char* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    LONG status = RegQueryValueExA(h, name, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

std::vector<unsigned char> ReadBinaryValue(HKEY root, const char* key, const char* name) {
    std::vector<unsigned char> data;
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return data;
    DWORD size = 0;
    if (RegQueryValueExA(h, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        if (RegQueryValueExA(h, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS)
            data.clear();
    }
    RegCloseKey(h);
    return data;
}

bool DeleteValue(HKEY root, const char* key, const char* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return false;
    LONG status = RegDeleteValueA(h, name);
    RegCloseKey(h);
    return status == ERROR_SUCCESS;
}

bool DeleteKeyTree(HKEY root, const char* key) {
    return RegDeleteTreeA(root, key) == ERROR_SUCCESS;
}

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT r = {};
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string pixels(static_cast<size_t>(((width * 3 + 3) & ~3) * height), '\0');
    GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER head = {};
    head.bfType = 0x4D42;
    head.bfOffBits = sizeof(head) + sizeof(info);
    head.bfSize = head.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<char*>(&head), sizeof(head));
    bytes.append(reinterpret_cast<char*>(&info), sizeof(info)).append(pixels);
    return WriteTextFile(path, bytes);
}

}  // namespace testing_support
