// What every benchmark needs: the folder of its programs and a clock.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

// The folder of the running benchmark, with its trailing backslash: the
// build's bin folder, where the fixtures lie.
inline std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.rfind('\\') + 1);
}

// The same folder in UTF-16, for the wide interfaces.
inline std::wstring BinDirW() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.rfind(L'\\') + 1);
}

// The command line of the census benchmarks: "-runvalues K" and the numbers
// of host processes (10, 100 and 200 when none is given).
struct BenchArguments {
    int runValues;
    std::vector<int> counts;
};

inline BenchArguments ParseBenchArguments(int argc, char** argv, int defaultRunValues) {
    BenchArguments arguments{defaultRunValues, {}};
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-runvalues" && i + 1 < argc)
            arguments.runValues = atoi(argv[++i]);
        else
            arguments.counts.push_back(atoi(argv[i]));
    }
    if (arguments.counts.empty()) arguments.counts = {10, 100, 200};
    return arguments;
}

// Milliseconds from the performance counter.
inline double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// What a program writes to its standard output, read through a pipe to
// its end (no command interpreter in between).
inline std::string OutputOf(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::string();
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info = {};
    BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[512];
    DWORD read = 0;
    while (started && ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read) output.append(buffer, read);
    if (started) {
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

// Hosts of the sample module without windows, started with one hook type
// ("none" loads the module only) and ended together through one quit event.
class SampleHookHosts {
public:
    SampleHookHosts(int count, const char* hookType) {
        char name[64];
        snprintf(name, sizeof(name), "veyrith-bench-hosts-quit-%lu", GetCurrentProcessId());
        m_quit = CreateEventA(nullptr, TRUE, FALSE, name);
        const std::string quit = name;
        for (int i = 0; i < count; ++i) {
            snprintf(name, sizeof(name), "veyrith-bench-hosts-ready-%lu-%d", GetCurrentProcessId(), i);
            m_ready.push_back(CreateEventA(nullptr, TRUE, FALSE, name));
            std::wstring line = L"\"" + BinDirW() + L"sample_hook_host.exe\" -hook " + Ascii(hookType) + L" -dll \"" +
                                BinDirW() + L"sample_hook.dll\" -ready " + Ascii(name) + L" -quit " + Ascii(quit.c_str());
            STARTUPINFOW startup = {};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION info = {};
            if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
                continue;
            CloseHandle(info.hThread);
            m_processes.push_back(info.hProcess);
        }
    }
    ~SampleHookHosts() {
        SetEvent(m_quit);
        for (HANDLE process : m_processes) {
            if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
            CloseHandle(process);
        }
        for (HANDLE ready : m_ready) CloseHandle(ready);
        CloseHandle(m_quit);
    }
    SampleHookHosts(const SampleHookHosts&) = delete;
    SampleHookHosts& operator=(const SampleHookHosts&) = delete;

    // True once every host has its module loaded (and its hook in place).
    bool WaitReady() const {
        if (m_processes.size() != m_ready.size()) return false;
        for (HANDLE ready : m_ready)
            if (WaitForSingleObject(ready, 60000) != WAIT_OBJECT_0) return false;
        return true;
    }

private:
    static std::wstring Ascii(const char* text) { return std::wstring(text, text + strlen(text)); }

    HANDLE m_quit = nullptr;
    std::vector<HANDLE> m_processes;
    std::vector<HANDLE> m_ready;
};

// Values added to the user's Run key for the run, as a machine with a long
// autorun list has; removed by the destructor.
class BenchRunValues {
public:
    explicit BenchRunValues(int count) : m_count(count) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr))
            return;
        for (int i = 0; i < count; ++i) {
            std::wstring data = L"C:\\Program Files\\bench\\program" + std::to_wstring(i) + L".exe /background";
            RegSetValueExW(key, Name(i).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(key);
    }
    ~BenchRunValues() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyName, 0, KEY_SET_VALUE, &key)) return;
        for (int i = 0; i < m_count; ++i) RegDeleteValueW(key, Name(i).c_str());
        RegCloseKey(key);
    }
    BenchRunValues(const BenchRunValues&) = delete;
    BenchRunValues& operator=(const BenchRunValues&) = delete;

private:
    static constexpr const wchar_t* kRunKeyName = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static std::wstring Name(int i) { return L"veyrith-bench-" + std::to_wstring(i); }
    int m_count;
};
