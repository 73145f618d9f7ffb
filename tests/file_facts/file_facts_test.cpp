// The SHA-256 and the version strings of real files.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>

#include "common/owners.h"
#include "file_facts/file_facts.h"
#include "file_facts/file_hash.h"
#include "test_support.h"

using namespace testing_support;

namespace {

std::wstring Sha256OfFile(const std::string& path) {
    CHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::wstring digest;
    if (file) FileSha256(file.Get(), digest);
    return digest;
}

// The digests of FIPS 180-2's examples; the million "a" span several chunks.
TEST(FileHash, IsTheSha256OfTheWholeFile) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder.File("abc"), "abc"));
    ASSERT_TRUE(WriteTextFile(folder.File("empty"), ""));
    ASSERT_TRUE(WriteTextFile(folder.File("million"), std::string(1000000, 'a')));
    EXPECT_EQ(Sha256OfFile(folder.File("abc")), L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256OfFile(folder.File("empty")), L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256OfFile(folder.File("million")),
              L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // The facts read the same digest, wherever the file's pointer stood.
    EXPECT_EQ(CheckFileFacts(Wide(folder.File("million"))).sha256,
              L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

    CHandle file(CreateFileW(Wide(folder.File("million")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             0, nullptr));
    std::atomic<bool> stop(true);
    std::wstring digest = L"left over";
    EXPECT_FALSE(FileSha256(file.Get(), digest, &stop));
    EXPECT_TRUE(digest.empty());
}

TEST(FileFacts, ReadTheVersionStringsOfTheFirstTranslation) {
    FileFacts sample = CheckFileFacts(Wide(BinDir() + "sample_hook.dll"));
    EXPECT_EQ(sample.company, L"Veyrith Test Fixtures");
    EXPECT_EQ(sample.version, L"1.0.0.0");
    EXPECT_EQ(sample.sha256.size(), 64u);
    EXPECT_EQ(sample.sha256.find_first_not_of(L"0123456789abcdef"), std::wstring::npos);
    // Signing changes the bytes but not what the resource states.
    FileFacts signedCopy = CheckFileFacts(Wide(BinDir() + "signed_hook.dll"));
    EXPECT_EQ(signedCopy.company, sample.company);
    EXPECT_EQ(signedCopy.version, sample.version);
    EXPECT_NE(signedCopy.sha256, sample.sha256);

    // Its one translation is German: the English block is not read. What
    // would break a line or turn the text around is gone, and the version
    // is cut.
    FileFacts lying = CheckFileFacts(Wide(BinDir() + "lying_version.dll"));
    EXPECT_EQ(lying.company, L"Trusted etavirp  Vendor");
    EXPECT_EQ(lying.version.size(), 256u);
    EXPECT_EQ(lying.version.substr(0, 4), L"1.00");

    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder.File("plain.txt"), "no resources here"));
    FileFacts plain = CheckFileFacts(Wide(folder.File("plain.txt")));
    EXPECT_TRUE(plain.company.empty());
    EXPECT_TRUE(plain.version.empty());
}

}  // namespace
