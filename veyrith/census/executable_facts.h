// The facts of executables that a census reads once per file (the
// description, the autorun entry that starts it, the long form of its
// folder), read on a thread of their own while the census walks the
// processes: the walk waits on other processes and the system, the facts on
// files, and the two overlap. The folders of the modules are looked up the
// same way.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "common/owners.h"
#include "findings/autorun_lookup.h"
#include "findings/findings.h"

class CExecutableFacts {
public:
    // What was read; the maps are keyed as the census keys them (the
    // lower-cased executable path, the lower-cased folder).
    struct Read {
        std::map<std::wstring, std::wstring> descriptions;
        std::map<std::wstring, CAutoRunInfo> autoRuns;
        std::map<std::wstring, std::wstring> longFolders;
    };

    // Starts the reading thread; autoRuns must outlive Finish. Without a
    // thread every request is left to the census, which then reads as it
    // goes.
    explicit CExecutableFacts(const CAutoRunLookup& autoRuns);
    // Waits for the thread when Finish was not called.
    ~CExecutableFacts();
    CExecutableFacts(const CExecutableFacts&) = delete;
    CExecutableFacts& operator=(const CExecutableFacts&) = delete;

    // Asks for the facts of an executable (each file once).
    void AskExecutable(const std::wstring& exePath);
    // Asks for the long form of a file's folder only.
    void AskFolderOf(const std::wstring& path);
    // Waits until everything asked for has been read and hands it over.
    Read Finish();

private:
    struct Request {
        std::wstring path;
        bool executable;
    };

    static DWORD WINAPI ThreadMain(void* param);
    void Serve();
    void Ask(const std::wstring& path, bool executable);
    void ReadOne(const Request& request, Read& read) const;

    const CAutoRunLookup& m_autoRuns;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Request> m_requests;
    bool m_bClosed = false;
    Read m_read;
    CHandle m_thread;
};
