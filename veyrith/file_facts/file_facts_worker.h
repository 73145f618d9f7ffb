// Reads the facts of a list of files on a thread of its own, so that the
// window never waits: every result is kept here and announced to the window
// with a posted message, and the window takes it when that arrives. The
// files the process's cache holds are answered first, then the others in
// their order. Until a file's result is taken the window shows
// CheckingText().
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "common/owners.h"
#include "file_facts/file_facts.h"

class CFileFactsWorker {
public:
    // Starts at once. Each result is announced with
    // PostMessage(window, message, index of its path, 0); message is the
    // caller's own number.
    CFileFactsWorker(const std::vector<std::wstring>& paths, HWND window, UINT message);
    // Cancels and waits for the thread, which stops within one chunk of the
    // file it reads.
    ~CFileFactsWorker();
    CFileFactsWorker(const CFileFactsWorker&) = delete;
    CFileFactsWorker& operator=(const CFileFactsWorker&) = delete;

    // False when no thread could be started: no result will come.
    bool Started() const { return static_cast<bool>(m_thread); }
    // No result is announced after this returns; those announced stay.
    void Cancel();
    // True once the thread has checked every file or stopped.
    bool Finished() const;
    // Hands over the facts of paths[index] once announced; false when they
    // are not there (yet, any more, or ever: a cancelled or stale index).
    bool Take(size_t index, FileFacts& facts);

private:
    static DWORD WINAPI ThreadMain(void* param);
    void Run();
    void Deliver(size_t index, FileFacts& facts);

    const std::vector<std::wstring> m_paths;
    const HWND m_window;
    const UINT m_message;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::mutex m_lock;
    std::vector<FileFacts> m_results;
    std::vector<char> m_ready;
    CHandle m_thread;
};
