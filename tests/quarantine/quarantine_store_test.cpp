// The quarantine store on real files in a program folder of its own: the
// index's bytes, the order of its records, an incomplete tail, restores.
#include "framework/message_box.h"
#include "quarantine/quarantine_store.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A program folder with sources beside it; message boxes fail the test.
class QuarantineStore : public ::testing::Test {
protected:
    void SetUp() override {
        SetQuarantineProgramFolder(program.Path());
        fw::SetMessageBoxHook([](const std::string& text, UINT) {
            ADD_FAILURE() << "message box: " << text;
            return IDOK;
        });
    }
    void TearDown() override {
        fw::SetMessageBoxHook(nullptr);
        SetQuarantineProgramFolder("");
    }
    std::string Index() const { return QuarantineFolder() + "\\index.dat"; }
    std::string Source(const std::string& name, const std::string& text) {
        std::string path = sources.File(name);
        EXPECT_TRUE(WriteTextFile(path, text));
        return path;
    }
    static std::string Bytes(const QuarantineRecord& r) {
        return r.id + "\r\n" + r.copyPath + "\r\n" + r.sourcePath + "\r\n";
    }

    TempFolder program;
    TempFolder sources;
};

bool IsTickId(const std::string& id) {
    return id.size() == 8 && id.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

TEST_F(QuarantineStore, IndexHoldsEachRecordAsThreeLinesAndRemovalKeepsTheOrder) {
    EXPECT_TRUE(ReadQuarantineRecords().empty());
    EXPECT_EQ(QuarantineFolder(), program.Path() + "Quarantined");
    std::string first = Source("first.dll", "one");
    std::string second = Source("second.dll", "two");
    std::string third = Source("third.dll", "three");
    ASSERT_TRUE(QuarantineFile(first.c_str()));
    ASSERT_TRUE(QuarantineFile(second.c_str()));
    ASSERT_TRUE(QuarantineFile(third.c_str()));

    std::vector<QuarantineRecord> records = ReadQuarantineRecords();
    ASSERT_EQ(records.size(), 3u);
    const char* names[] = {"first.dll", "second.dll", "third.dll"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(IsTickId(records[i].id)) << records[i].id;
        EXPECT_EQ(records[i].copyPath, QuarantineFolder() + "\\" + names[i]);
        EXPECT_EQ(records[i].sourcePath, sources.File(names[i]));
        EXPECT_TRUE(FileExists(records[i].sourcePath));
    }
    EXPECT_NE(records[0].id, records[1].id);
    EXPECT_NE(records[1].id, records[2].id);
    EXPECT_EQ(ReadTextFile(records[1].copyPath), "two");
    EXPECT_EQ(ReadTextFile(Index()), Bytes(records[0]) + Bytes(records[1]) + Bytes(records[2]));

    ASSERT_TRUE(RemoveQuarantineRecord(records[1].id));
    EXPECT_EQ(ReadTextFile(Index()), Bytes(records[0]) + Bytes(records[2]));
    EXPECT_FALSE(FileExists(QuarantineFolder() + "\\index.tmp"));
    ASSERT_TRUE(RemoveQuarantineRecord(records[0].id));
    ASSERT_TRUE(RemoveQuarantineRecord(records[2].id));
    EXPECT_TRUE(FileExists(Index()));
    EXPECT_EQ(ReadTextFile(Index()), "");
}

TEST_F(QuarantineStore, IncompleteTailIsIgnoredAndDroppedByTheNextWrite) {
    CreateDirectoryA(QuarantineFolder().c_str(), nullptr);
    QuarantineRecord kept = {"00123456", QuarantineFolder() + "\\kept.dll", "C:\\apps\\kept.dll"};
    std::string tails[] = {"0000ABCD\r\n", "0000ABCD\r\nC:\\x.dll\r\n", "0000ABCD\r\nC:\\x.dll\r\nC:\\y"};
    for (const std::string& tail : tails) {
        ASSERT_TRUE(WriteTextFile(Index(), Bytes(kept) + tail));
        std::vector<QuarantineRecord> records = ReadQuarantineRecords();
        ASSERT_EQ(records.size(), 1u) << tail;
        EXPECT_EQ(records[0].sourcePath, kept.sourcePath);
        ASSERT_TRUE(RemoveQuarantineRecord("FFFFFFFF"));
        EXPECT_EQ(ReadTextFile(Index()), Bytes(kept)) << tail;
    }
    // Appending after an incomplete tail starts a record of its own.
    ASSERT_TRUE(WriteTextFile(Index(), Bytes(kept) + tails[1]));
    ASSERT_TRUE(QuarantineFile(Source("new.dll", "new").c_str()));
    std::vector<QuarantineRecord> records = ReadQuarantineRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].sourcePath, sources.File("new.dll"));
    EXPECT_EQ(ReadTextFile(Index()), Bytes(kept) + Bytes(records[1]));
    // Without an index there is nothing to rewrite.
    ASSERT_TRUE(DeleteFileA(Index().c_str()));
    EXPECT_FALSE(RemoveQuarantineRecord(records[1].id));
}

TEST_F(QuarantineStore, FilesOfOneNameKeepTheirOwnCopiesAndRestoreToTheirOwnPlaces) {
    TempFolder other;
    std::string first = Source("same.dll", "from sources");
    std::string second = other.File("same.dll");
    ASSERT_TRUE(WriteTextFile(second, "from other"));
    std::string third = Source("index.dat", "a file that looks like the index");
    ASSERT_TRUE(QuarantineFile(first.c_str()));
    ASSERT_TRUE(QuarantineFile(second.c_str()));
    ASSERT_TRUE(QuarantineFile(third.c_str()));

    std::vector<QuarantineRecord> records = ReadQuarantineRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].copyPath, QuarantineFolder() + "\\same.dll");
    EXPECT_EQ(records[1].copyPath, QuarantineFolder() + "\\same[2].dll");
    EXPECT_EQ(records[2].copyPath, QuarantineFolder() + "\\index[2].dat");
    EXPECT_EQ(ReadTextFile(records[2].copyPath), "a file that looks like the index");

    ASSERT_TRUE(DeleteFileA(first.c_str()));
    ASSERT_TRUE(DeleteFileA(second.c_str()));
    EXPECT_TRUE(RestoreQuarantinedFile(records[1].copyPath, records[1].sourcePath));
    EXPECT_TRUE(RestoreQuarantinedFile(records[0].copyPath, records[0].sourcePath));
    EXPECT_EQ(ReadTextFile(first), "from sources");
    EXPECT_EQ(ReadTextFile(second), "from other");
    EXPECT_FALSE(FileExists(records[0].copyPath));
    EXPECT_FALSE(FileExists(records[1].copyPath));
}

TEST_F(QuarantineStore, RestoreOntoAnExistingFileFailsAndKeepsCopyAndRecord) {
    std::string source = Source("busy.dll", "original");
    ASSERT_TRUE(QuarantineFile(source.c_str()));
    ASSERT_TRUE(WriteTextFile(source, "newer file"));
    QuarantineRecord record = ReadQuarantineRecords().at(0);

    // Both the program's own move and the tool's move refuse.
    EXPECT_FALSE(RestoreQuarantinedFile(record.copyPath, record.sourcePath));
    EXPECT_EQ(ReadTextFile(source), "newer file");
    EXPECT_EQ(ReadTextFile(record.copyPath), "original");
    ASSERT_EQ(ReadQuarantineRecords().size(), 1u);

    EXPECT_TRUE(DeleteQuarantinedCopy(record.copyPath));
    EXPECT_FALSE(DeleteQuarantinedCopy(record.copyPath));
    EXPECT_EQ(ReadQuarantineRecords().size(), 1u);
}

}  // namespace
