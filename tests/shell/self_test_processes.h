// The self-test hosts running now, found by their file name.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

inline int CountSelfTestHosts() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (!lstrcmpiA(entry.szExeFile, "veyrith_selftest.exe")) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// True once no self-test host runs. A host asked to end gets a grace time
// before it is ended outright, so its end is awaited, not expected at once.
inline bool NoSelfTestHostsWithin(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (CountSelfTestHosts() != 0) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}
