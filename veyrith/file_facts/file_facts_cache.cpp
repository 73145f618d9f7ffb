#include "file_facts/file_facts_cache.h"

namespace {

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.size == b.size && CompareFileTime(&a.written, &b.written) == 0;
}

}  // namespace

bool ReadFileStamp(const std::wstring& path, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    stamp.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.written = data.ftLastWriteTime;
    return true;
}

std::wstring CFileFactsCache::KeyOf(const std::wstring& path) {
    std::wstring key = path;
    if (!key.empty()) CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

bool CFileFactsCache::Find(const std::wstring& path, const FileStamp& stamp, FileFacts& facts) const {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_entries.find(KeyOf(path));
    if (found == m_entries.end() || !SameStamp(found->second.stamp, stamp)) return false;
    facts = found->second.facts;
    return true;
}

void CFileFactsCache::Keep(const std::wstring& path, const FileStamp& stamp, const FileFacts& facts) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_entries.size() >= kMaxFiles) m_entries.clear();
    m_entries[KeyOf(path)] = Entry{stamp, facts};
}

CFileFactsCache& ProcessFileFactsCache() {
    static CFileFactsCache cache;
    return cache;
}

bool FindCachedFileFacts(const std::wstring& path, FileFacts& facts) {
    FileStamp stamp;
    return ReadFileStamp(path, stamp) && ProcessFileFactsCache().Find(path, stamp, facts);
}

FileFacts CachedFileFacts(const std::wstring& path) {
    std::atomic<bool> never(false);
    FileFacts facts;
    CachedFileFacts(path, facts, never);
    return facts;
}

bool CachedFileFacts(const std::wstring& path, FileFacts& facts, const std::atomic<bool>& stop) {
    FileStamp before;
    bool stamped = ReadFileStamp(path, before);
    if (stamped && ProcessFileFactsCache().Find(path, before, facts)) return true;
    if (!CheckFileFacts(path, facts, stop)) return false;
    // Facts of a file that changed while it was read belong to neither of
    // its states; a file that could not be read may be readable next time.
    FileStamp after;
    if (stamped && !facts.sha256.empty() && ReadFileStamp(path, after) && SameStamp(before, after))
        ProcessFileFactsCache().Keep(path, before, facts);
    return true;
}
