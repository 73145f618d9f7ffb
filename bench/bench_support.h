// What every benchmark needs: the folder of its programs and a clock.
#pragma once

#include <windows.h>

#include <string>

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

// Milliseconds from the performance counter.
inline double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
