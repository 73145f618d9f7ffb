// A running sample hook host (tests/fixtures/sample_hook_host), started with
// a ready event so tests wait for it instead of sleeping, and ended through
// its quit event so it cleans up after itself.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "test_support.h"

class HookHost {
public:
    HookHost() = default;
    ~HookHost() { Stop(); }
    HookHost(const HookHost&) = delete;
    HookHost& operator=(const HookHost&) = delete;

    // exePath: the host program (a copy may lie anywhere); args: its options
    // other than -ready and -quit. False when it did not become ready.
    bool Start(const std::string& exePath, const std::string& args);
    bool Start(const std::wstring& exePath, const std::wstring& args);
    // Ends the host normally; true when it ended with exit code 0.
    bool Stop();
    DWORD Id() const { return m_process.Id(); }

private:
    testing_support::ChildProcess m_process;
    HANDLE m_quit = nullptr;
};

// Copies a file of the build's bin folder to dest; false on failure.
bool CopyFromBin(const std::string& name, const std::string& dest);
bool CopyFromBin(const std::string& name, const std::wstring& dest);

// Lower-cased copy of text.
std::string Lower(std::string text);
std::wstring Lower(std::wstring text);

// Brings window to the foreground, synthesises F24 down and up, and pumps
// messages for 300 ms.
void ProvokeKeyboardHooks(HWND window);

// A visible top-level window of the test, destroyed with the object.
class TestWindow {
public:
    TestWindow();
    ~TestWindow();
    operator HWND() const { return m_window; }

private:
    HWND m_window = nullptr;
};

// Counts the import address table entries of one module, over all of its
// import descriptors, that hold addr.
int CountImportEntries(HMODULE module, const void* addr);

// The same count for every module of this process. Only while no other
// thread of the test frees modules.
std::map<HMODULE, int> CountInAllModules(const void* addr);

int Total(const std::map<HMODULE, int>& counts);
