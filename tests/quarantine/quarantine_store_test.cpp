// The quarantine store on real files in a program folder of its own.
#include "quarantine/quarantine_store.h"
#include "test_support.h"
#include "tool/tool_client.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

// A text in UTF-8, as the index holds the paths of the records it writes.
std::string Utf8(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

class QuarantineStore : public ::testing::Test {
protected:
    // The tool beside the program keeps the quarantine there.
    void SetUp() override { UseProgramFolder(Wide(program.Path())); }
    void UseProgramFolder(const std::wstring& folder) {
        ASSERT_TRUE(CopyFileW(Wide(BinDir() + "veyrith_configure.exe").c_str(),
                              (folder + L"veyrith_configure.exe").c_str(), FALSE));
        m_store.reset(new CQuarantineStore(folder));
    }
    const CQuarantineStore& Store() const { return *m_store; }
    std::wstring Index() const { return Store().Folder() + L"\\index.dat"; }
    std::wstring Quarantined(const std::wstring& folder, const std::wstring& name) {
        EXPECT_TRUE(WriteTextFile(folder + name, Utf8(folder + name)));
        EXPECT_TRUE(Store().QuarantineFile((folder + name).c_str()).Succeeded());
        return folder + name;
    }
    std::wstring Quarantined(const TempFolder& folder, const std::string& name) {
        return Quarantined(Wide(folder.Path()), Wide(name));
    }
    // A record as this version writes it, and as earlier versions wrote it.
    static std::string Bytes(const QuarantineRecord& r) {
        return r.id + " UTF-8\r\n" + Utf8(r.copyPath) + "\r\n" + Utf8(r.sourcePath) + "\r\n";
    }
    static std::string OldBytes(const std::string& id, const std::string& copy, const std::string& source) {
        return id + "\r\n" + copy + "\r\n" + source + "\r\n";
    }
    TempFolder program, sources, others;
    std::unique_ptr<CQuarantineStore> m_store;
};

TEST_F(QuarantineStore, IndexBytesOrderAndFilesOfOneName) {
    EXPECT_TRUE(Store().ReadRecords().empty());
    Quarantined(sources, "same.dll");
    Quarantined(sources, "index.dat");
    Quarantined(others, "same.dll");
    std::vector<QuarantineRecord> r = Store().ReadRecords();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(ReadTextFile(Index()), Bytes(r[0]) + Bytes(r[1]) + Bytes(r[2]));
    EXPECT_EQ(r[0].copyPath, Wide(program.Path() + "Quarantined\\same.dll"));
    EXPECT_EQ(r[1].copyPath, Wide(program.Path() + "Quarantined\\index[2].dat"));
    EXPECT_EQ(r[2].copyPath, Wide(program.Path() + "Quarantined\\same[2].dll"));
    EXPECT_EQ(r[2].sourcePath, Wide(others.File("same.dll")));
    EXPECT_EQ(r[1].id.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(r[1].id.size(), 8u);
    EXPECT_NE(r[0].id, r[1].id);

    // A deleted copy takes its record along and keeps the others in order;
    // both copies of one name go home, and the index is empty then.
    ASSERT_TRUE(Store().DeleteCopy(r[1]).Succeeded());
    EXPECT_FALSE(FileExists(r[1].copyPath));
    EXPECT_EQ(ReadTextFile(Index()), Bytes(r[0]) + Bytes(r[2]));
    EXPECT_FALSE(FileExists(Store().Folder() + L"\\index.tmp"));
    for (int i : {0, 2}) {
        ASSERT_TRUE(DeleteFileW(r[i].sourcePath.c_str()));
        EXPECT_TRUE(Store().Restore(r[i]).Succeeded());
        EXPECT_EQ(ReadTextFile(r[i].sourcePath), Utf8(r[i].sourcePath));
    }
    EXPECT_EQ(ReadTextFile(Index()), "");
}

// A record starts with an id line: junk before the records, a record cut
// short and damaged records are passed over, and the sound records around
// them still read. A copy name with a separator or "..", or an id that two
// records share, makes a damaged record; the next write keeps the sound ones.
TEST_F(QuarantineStore, DamagedLinesAndRecordsAreFoundOverAndNeverActedOn) {
    CreateDirectoryW(Store().Folder().c_str(), nullptr);
    const std::wstring folder = Store().Folder() + L"\\";
    QuarantineRecord first = {"00123456", folder + L"first.dll", Wide(sources.File("first.dll"))};
    QuarantineRecord second = {"00ABCDEF", folder + L"second.dll", Wide(sources.File("second.dll"))};
    const std::string damaged =
        OldBytes("0000AAAA", "C:\\q/../../outside.dll", "C:\\x.dll") +
        OldBytes("0000BBBB", "C:\\q\\..", "C:\\y.dll") + OldBytes("0000CCCC", "C:\\q\\a.dll", "C:\\z.dll") +
        OldBytes("0000CCCC", "C:\\q\\b.dll", "C:\\z.dll") + "0000DDDD\r\nC:\\cut.dll\r\n";
    ASSERT_TRUE(WriteTextFile(Index(), "junk at the top\r\n" + Bytes(first) + damaged + Bytes(second) + "0000ABCD\r\n"));
    std::vector<QuarantineRecord> r = Store().ReadRecords();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].copyPath, first.copyPath);
    EXPECT_EQ(r[1].copyPath, second.copyPath);

    // The tool rewrites the index with the sound records only.
    Quarantined(others, "new.dll");
    r = Store().ReadRecords();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(ReadTextFile(Index()), Bytes(first) + Bytes(second) + Bytes(r[2]));
}

// A backup cut short by the end of the tool leaves its partial copy; the
// next backup removes it, and no partial copy is ever a record.
TEST_F(QuarantineStore, APartialCopyOfAnInterruptedBackupGoesAtTheNextWrite) {
    CreateDirectoryW(Store().Folder().c_str(), nullptr);
    const std::wstring partial = Store().Folder() + L"\\~partial-00001234";
    ASSERT_TRUE(WriteTextFile(partial, std::string(4096, 'p')));
    EXPECT_TRUE(Store().ReadRecords().empty());
    Quarantined(sources, "next.dll");
    EXPECT_FALSE(FileExists(partial));
    EXPECT_EQ(Store().ReadRecords().size(), 1u);
}

// A program folder named in CJK letters, sources named in Cyrillic: the
// copies take the real names, the index holds them in UTF-8 and gives
// them back exactly, and restoring puts every file back where it was.
TEST_F(QuarantineStore, NamesBeyondTheCodePageRoundTrip) {
    const std::wstring home = Wide(program.Path()) + L"\u7a0b\u5e8f\\";
    const std::wstring folder = Wide(sources.Path()) + L"\u0448\u043f\u0438\u043e\u043d\\";
    ASSERT_TRUE(CreateDirectoryW(home.c_str(), nullptr) && CreateDirectoryW(folder.c_str(), nullptr));
    UseProgramFolder(home);
    const std::wstring name = L"\u0436\u0443\u0447\u043e\u043a \u76d1\u89c6.dll";
    std::wstring source = Quarantined(folder, name);
    // A name that differs in one CJK letter only is another file.
    std::wstring other = Quarantined(folder, L"\u0436\u0443\u0447\u043e\u043a \u76d1\u8996.dll");

    std::vector<QuarantineRecord> r = Store().ReadRecords();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].copyPath, home + L"Quarantined\\" + name);
    EXPECT_EQ(r[0].sourcePath, source);
    EXPECT_EQ(r[1].sourcePath, other);
    EXPECT_EQ(r[1].copyPath, home + L"Quarantined\\\u0436\u0443\u0447\u043e\u043a \u76d1\u8996.dll");
    EXPECT_EQ(ReadTextFile(Index()), Bytes(r[0]) + Bytes(r[1]));
    ASSERT_TRUE(DeleteFileW(source.c_str()));
    EXPECT_TRUE(Store().Restore(r[0]).Succeeded());
    EXPECT_EQ(ReadTextFile(source), Utf8(source));
    EXPECT_TRUE(FileExists(other)) << "the other name was left alone";
}

// A path with a surrogate that has no partner has no UTF-8 form: it is
// refused before anything is copied or recorded.
TEST_F(QuarantineStore, APathTheIndexCannotHoldIsRefusedBeforeAnyCopy) {
    std::wstring source = Wide(sources.Path()) + L"lone-";
    source += static_cast<wchar_t>(0xD800);
    source += L".dll";
    EXPECT_FALSE(Store().QuarantineFile(source.c_str()).Succeeded());
    EXPECT_FALSE(FileExists(Index()));
    WIN32_FIND_DATAW data;
    HANDLE copies = FindFirstFileW((Store().Folder() + L"\\*.dll").c_str(), &data);
    EXPECT_EQ(copies, INVALID_HANDLE_VALUE);
    if (copies != INVALID_HANDLE_VALUE) FindClose(copies);
}

// An index written by an earlier version: ANSI paths in the system's code
// page and no mark. It still reads and restores, and the next write carries
// the old record over in the UTF-8 form.
TEST_F(QuarantineStore, AnIndexOfTheEarlierFormStillReadsAndRestores) {
    const std::string ansiName = "caf\xE9 old.dll";
    const std::wstring name = Wide(ansiName);
    ASSERT_NE(name, L"caf? old.dll");
    const std::wstring copy = Store().Folder() + L"\\" + name;
    const std::wstring source = Wide(sources.Path()) + name;
    CreateDirectoryW(Store().Folder().c_str(), nullptr);
    ASSERT_TRUE(WriteTextFile(copy, "old copy"));
    const std::string old = OldBytes("0BADCAFE", Narrow(Store().Folder()) + "\\" + ansiName, sources.Path() + ansiName);
    ASSERT_TRUE(WriteTextFile(Index(), old));

    std::vector<QuarantineRecord> r = Store().ReadRecords();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].id, "0BADCAFE");
    EXPECT_EQ(r[0].copyPath, copy);
    EXPECT_EQ(r[0].sourcePath, source);

    // The tool's next write carries the old record over in the UTF-8 form.
    Quarantined(others, "fresh.dll");
    r = Store().ReadRecords();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(ReadTextFile(Index()), Bytes(r[0]) + Bytes(r[1]));

    EXPECT_TRUE(Store().Restore(r[0]).Succeeded());
    EXPECT_EQ(ReadTextFile(source), "old copy");
    EXPECT_EQ(ReadTextFile(Index()), Bytes(r[1]));
}

TEST_F(QuarantineStore, RestoreOntoAnExistingFileFailsAndKeepsCopyAndRecord) {
    std::wstring source = Quarantined(sources, "busy.dll");
    QuarantineRecord record = Store().ReadRecords().at(0);
    EXPECT_FALSE(Store().Restore(record).Succeeded());
    EXPECT_EQ(ReadTextFile(record.copyPath), Utf8(source));
    EXPECT_EQ(Store().ReadRecords().size(), 1u);
    EXPECT_TRUE(Store().DeleteCopy(record).Succeeded());
    EXPECT_FALSE(Store().DeleteCopy(record).Succeeded());
}

}  // namespace
