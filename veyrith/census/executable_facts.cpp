#include "census/executable_facts.h"

#include <utility>

#include "findings/lower_case.h"
#include "scanner/file_description.h"
#include "scanner/folder_relation.h"

CExecutableFacts::CExecutableFacts(const CAutoRunLookup& autoRuns) : m_autoRuns(autoRuns) {
    m_thread = CHandle(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
}

CExecutableFacts::~CExecutableFacts() { Finish(); }

DWORD WINAPI CExecutableFacts::ThreadMain(void* param) {
    static_cast<CExecutableFacts*>(param)->Serve();
    return 0;
}

void CExecutableFacts::AskExecutable(const std::wstring& exePath) { Ask(exePath, true); }

void CExecutableFacts::AskFolderOf(const std::wstring& path) { Ask(path, false); }

void CExecutableFacts::Ask(const std::wstring& path, bool executable) {
    if (!m_thread) return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bClosed) return;
        m_requests.push_back(Request{path, executable});
    }
    m_changed.notify_one();
}

// Reads what is asked until the census closes the queue; each fact is read
// once, into maps that only this thread touches until it has ended.
void CExecutableFacts::Serve() {
    for (;;) {
        Request request;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_changed.wait(guard, [this] { return !m_requests.empty() || m_bClosed; });
            if (m_requests.empty()) return;
            request = std::move(m_requests.front());
            m_requests.pop_front();
        }
        ReadOne(request, m_read);
    }
}

void CExecutableFacts::ReadOne(const Request& request, Read& read) const {
    const wchar_t* path = request.path.c_str();
    std::wstring folder = FolderPartOf(path);
    std::wstring folderKey = LowerCase(folder.c_str());
    if (!read.longFolders.count(folderKey)) read.longFolders[folderKey] = LongPathOf(folder.c_str());
    if (!request.executable) return;
    std::wstring key = LowerCase(path);
    if (read.descriptions.count(key)) return;
    read.descriptions[key] = GetFileDescription(path);
    m_autoRuns.Find(path, read.autoRuns[key]);
}

CExecutableFacts::Read CExecutableFacts::Finish() {
    if (!m_thread) return Read();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bClosed = true;
    }
    m_changed.notify_one();
    WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
    return std::move(m_read);
}
