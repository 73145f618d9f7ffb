// The facts of files already read, for the life of the process: a file is
// read again only when its path (without regard to case), its size or its
// last write time differ from those it had. Thread-safe.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "file_facts/file_facts.h"

// A file as the directory knows it, read without opening the file.
struct FileStamp {
    ULONGLONG size = 0;
    FILETIME written = {};
};

// False when the file is not there (or is a folder).
bool ReadFileStamp(const std::wstring& path, FileStamp& stamp);

class CFileFactsCache {
public:
    // At most this many files are kept; the next one empties the cache.
    static constexpr size_t kMaxFiles = 4096;

    CFileFactsCache() = default;
    CFileFactsCache(const CFileFactsCache&) = delete;
    CFileFactsCache& operator=(const CFileFactsCache&) = delete;

    // The facts kept for path when the file still has the stamp they were
    // read with.
    bool Find(const std::wstring& path, const FileStamp& stamp, FileFacts& facts) const;
    void Keep(const std::wstring& path, const FileStamp& stamp, const FileFacts& facts);

private:
    struct Entry {
        FileStamp stamp;
        FileFacts facts;
    };
    static std::wstring KeyOf(const std::wstring& path);

    mutable std::mutex m_lock;
    std::map<std::wstring, Entry> m_entries;
};

// The cache of this process.
CFileFactsCache& ProcessFileFactsCache();

// The facts of the file at path from the process's cache, when it holds
// them for the file as it is now.
bool FindCachedFileFacts(const std::wstring& path, FileFacts& facts);

// The facts from the process's cache, or read now (CheckFileFacts) and kept
// there when the file could be read whole and did not change meanwhile.
FileFacts CachedFileFacts(const std::wstring& path);
// The same, stopping when stop turns true (false then; nothing is kept).
bool CachedFileFacts(const std::wstring& path, FileFacts& facts, const std::atomic<bool>& stop);
