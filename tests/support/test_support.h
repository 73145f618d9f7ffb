// Helpers for tests that drive real programs, files and registry keys under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A test's own text (ASCII, or in the code page: never a path the system
// handed over) in UTF-16, and back.
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

// Folder of the running test program, with a trailing backslash. Every
// program of the build (shipped ones and fixtures) lies in this folder.
std::string BinDir();

// A fresh, empty folder under the temporary folder, removed with its
// content when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; }  // trailing backslash
    std::string File(const std::string& name) const { return m_path + name; }
private:
    std::string m_path;
};

bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
bool DeleteTree(const std::string& folder);
// The same for paths that may hold any character.
bool WriteTextFile(const std::wstring& path, const std::string& text);
std::string ReadTextFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool DeleteTree(const std::wstring& folder);

// A started process; the handle is closed (and the process ended, when it
// still runs) when the object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // commandLine is the whole line, program name included.
    bool Start(const std::string& commandLine);
    bool Start(const std::wstring& commandLine);
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    // Waits for the end; false on time-out. exitCode gets the process's code.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    void End();
private:
    PROCESS_INFORMATION m_info = {};
};

// Runs a command line to its end; returns the exit code, or 0xDEADBEEF when
// it could not start or did not end within timeoutMs.
DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs = 20000);
// The same, with what the program wrote to standard output and standard
// error (together, in the order written) in output.
DWORD RunToEndWithOutput(const std::string& commandLine, DWORD timeoutMs, std::string& output);

bool ProcessExists(DWORD processId);

std::string Quoted(const std::string& s);
std::wstring Quoted(const std::wstring& s);

// Registry helpers on a key path below a root.
bool SetBinaryValue(HKEY root, const char* key, const char* name, const void* data, DWORD size);
bool SetStringValue(HKEY root, const char* key, const char* name, const std::string& value,
                    DWORD type = REG_SZ);
bool ValueExists(HKEY root, const char* key, const char* name);
std::vector<unsigned char> ReadBinaryValue(HKEY root, const char* key, const char* name);
bool DeleteValue(HKEY root, const char* key, const char* name);
bool DeleteKeyTree(HKEY root, const char* key);

// Saves what the screen shows of a window as a 24-bit BMP file; false when
// the file cannot be written.
bool SaveWindowPicture(HWND window, const std::string& path);

// The full path of a module of this process.
std::string ModulePath(HMODULE module);

// Pumps this thread's messages for the given time.
void PumpMessages(DWORD milliseconds);

}  // namespace testing_support
