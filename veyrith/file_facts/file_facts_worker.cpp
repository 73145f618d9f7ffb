#include "file_facts/file_facts_worker.h"

#include <utility>

#include "file_facts/file_facts_cache.h"

CFileFactsWorker::CFileFactsWorker(const std::vector<std::wstring>& paths, HWND window, UINT message)
    : m_paths(paths), m_window(window), m_message(message), m_results(paths.size()), m_ready(paths.size(), 0) {
    m_thread = CHandle(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    if (!m_thread) m_finished = true;
}

CFileFactsWorker::~CFileFactsWorker() {
    Cancel();
    if (m_thread) WaitForSingleObject(m_thread.Get(), INFINITE);
}

DWORD WINAPI CFileFactsWorker::ThreadMain(void* param) {
    static_cast<CFileFactsWorker*>(param)->Run();
    return 0;
}

void CFileFactsWorker::Run() {
    std::vector<size_t> unread;
    for (size_t i = 0; i < m_paths.size() && !m_stop; ++i) {
        FileFacts facts;
        if (FindCachedFileFacts(m_paths[i], facts)) Deliver(i, facts);
        else unread.push_back(i);
    }
    for (size_t i : unread) {
        FileFacts facts;
        if (m_stop || !CachedFileFacts(m_paths[i], facts, m_stop)) break;
        Deliver(i, facts);
    }
    m_finished = true;
}

void CFileFactsWorker::Deliver(size_t index, FileFacts& facts) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_stop) return;
    m_results[index] = std::move(facts);
    m_ready[index] = 1;
    PostMessageW(m_window, m_message, index, 0);
}

void CFileFactsWorker::Cancel() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_stop = true;
}

bool CFileFactsWorker::Finished() const { return m_finished; }

bool CFileFactsWorker::Take(size_t index, FileFacts& facts) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (index >= m_ready.size() || !m_ready[index]) return false;
    facts = std::move(m_results[index]);
    m_results[index] = FileFacts();
    m_ready[index] = 0;
    return true;
}
