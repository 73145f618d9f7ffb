// The process's cache of facts: keyed by path, size and last write time.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/owners.h"
#include "file_facts/file_facts_cache.h"
#include "signature_printer.h"
#include "test_support.h"

using namespace testing_support;

namespace {

FILETIME WriteTime(const std::wstring& path) {
    FILETIME written = {};
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr));
    GetFileTime(file.Get(), nullptr, nullptr, &written);
    return written;
}

bool SetWriteTime(const std::wstring& path, FILETIME written) {
    CHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    return file && SetFileTime(file.Get(), nullptr, nullptr, &written);
}

// Rewrites the file and gives it back the write time it had.
bool Rewrite(const std::wstring& path, const std::string& bytes, FILETIME written) {
    return WriteTextFile(path, bytes) && SetWriteTime(path, written);
}

TEST(FileFactsCache, AnswersUntilSizeOrWriteTimeChange) {
    TempFolder folder;
    std::wstring path = Wide(folder.File("watched.bin"));
    ASSERT_TRUE(WriteTextFile(path, "first bytes"));
    FileFacts first = CachedFileFacts(path);
    ASSERT_EQ(first.sha256.size(), 64u);
    FILETIME written = WriteTime(path);

    // Other bytes of the same size and time: the cache answers, and the file
    // is not read (it now has another digest).
    ASSERT_TRUE(Rewrite(path, "other bytes", written));
    EXPECT_NE(CheckFileFacts(path).sha256, first.sha256);
    EXPECT_EQ(CachedFileFacts(path).sha256, first.sha256);
    CharUpperW(&path[0]);
    EXPECT_EQ(CachedFileFacts(path).sha256, first.sha256) << "the path's case counts";
    {
        // Even while nobody may open it.
        CHandle locker(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locker);
        FileFacts locked;
        EXPECT_TRUE(FindCachedFileFacts(path, locked));
        EXPECT_EQ(locked.sha256, first.sha256);
    }

    // A new time: read anew, and that answer is kept.
    FILETIME later = written;
    later.dwHighDateTime += 1;
    ASSERT_TRUE(SetWriteTime(path, later));
    std::wstring second = CheckFileFacts(path).sha256;
    EXPECT_EQ(CachedFileFacts(path).sha256, second);
    EXPECT_NE(second, first.sha256);

    // A new size at the same time: read anew.
    ASSERT_TRUE(Rewrite(path, "longer bytes", later));
    FileFacts third = CachedFileFacts(path);
    EXPECT_EQ(third.sha256, CheckFileFacts(path).sha256);
    EXPECT_NE(third.sha256, second);
}

// A file that could not be read is read again next time.
TEST(FileFactsCache, KeepsNothingOfAFileItCouldNotRead) {
    TempFolder folder;
    std::wstring path = Wide(folder.File("locked.bin"));
    ASSERT_TRUE(WriteTextFile(path, "locked bytes"));
    {
        CHandle locker(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locker);
        FileFacts locked = CachedFileFacts(path);
        EXPECT_EQ(locked.signature.kind, SignatureKind::NotChecked);
        EXPECT_TRUE(locked.sha256.empty());
    }
    FileFacts facts;
    EXPECT_FALSE(FindCachedFileFacts(path, facts));
    EXPECT_EQ(CachedFileFacts(path).sha256.size(), 64u);
    EXPECT_TRUE(FindCachedFileFacts(path, facts));
}

}  // namespace
