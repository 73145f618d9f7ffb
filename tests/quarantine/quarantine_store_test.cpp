// The quarantine store on real files in a program folder of its own.
#include "quarantine/quarantine_store.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class QuarantineStore : public ::testing::Test {
protected:
    void SetUp() override { SetQuarantineProgramFolder(program.Path()); }
    void TearDown() override { SetQuarantineProgramFolder(""); }
    std::string Index() const { return QuarantineFolder() + "\\index.dat"; }
    std::string Quarantined(const TempFolder& folder, const std::string& name) {
        EXPECT_TRUE(WriteTextFile(folder.File(name), folder.Path() + name));
        EXPECT_TRUE(QuarantineFile(folder.File(name).c_str()));
        return folder.File(name);
    }
    static std::string Bytes(const QuarantineRecord& r) { return r.id + "\r\n" + r.copyPath + "\r\n" + r.sourcePath + "\r\n"; }
    TempFolder program, sources, others;
};

TEST_F(QuarantineStore, IndexBytesOrderAndFilesOfOneName) {
    EXPECT_TRUE(ReadQuarantineRecords().empty());
    Quarantined(sources, "same.dll");
    Quarantined(sources, "index.dat");
    Quarantined(others, "same.dll");
    std::vector<QuarantineRecord> r = ReadQuarantineRecords();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(ReadTextFile(Index()), Bytes(r[0]) + Bytes(r[1]) + Bytes(r[2]));
    EXPECT_EQ(r[0].copyPath, program.Path() + "Quarantined\\same.dll");
    EXPECT_EQ(r[1].copyPath, program.Path() + "Quarantined\\index[2].dat");
    EXPECT_EQ(r[2].copyPath, program.Path() + "Quarantined\\same[2].dll");
    EXPECT_EQ(r[2].sourcePath, others.File("same.dll"));
    EXPECT_EQ(r[1].id.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(r[1].id.size(), 8u);
    EXPECT_NE(r[0].id, r[1].id);

    // Removal keeps the others in order; both copies of one name go home.
    ASSERT_TRUE(RemoveQuarantineRecord(r[1].id));
    EXPECT_EQ(ReadTextFile(Index()), Bytes(r[0]) + Bytes(r[2]));
    EXPECT_FALSE(FileExists(QuarantineFolder() + "\\index.tmp"));
    for (int i : {0, 2}) {
        ASSERT_TRUE(DeleteFileA(r[i].sourcePath.c_str()));
        EXPECT_TRUE(RestoreQuarantinedFile(r[i].copyPath, r[i].sourcePath));
        EXPECT_EQ(ReadTextFile(r[i].sourcePath), r[i].sourcePath);
    }
}

TEST_F(QuarantineStore, IncompleteTailIsIgnoredAndDroppedByTheNextWrite) {
    CreateDirectoryA(QuarantineFolder().c_str(), nullptr);
    QuarantineRecord kept = {"00123456", "C:\\q\\kept.dll", "C:\\apps\\kept.dll"};
    for (std::string tail : {"0000ABCD\r\n", "0000ABCD\r\nC:\\x.dll\r\n", "0000ABCD\r\nC:\\x\r\nC:\\y"}) {
        ASSERT_TRUE(WriteTextFile(Index(), Bytes(kept) + tail));
        EXPECT_EQ(ReadQuarantineRecords().size(), 1u) << tail;
        ASSERT_TRUE(RemoveQuarantineRecord("FFFFFFFF"));
        EXPECT_EQ(ReadTextFile(Index()), Bytes(kept)) << tail;
    }
    ASSERT_TRUE(WriteTextFile(Index(), Bytes(kept) + "0000ABCD\r\n"));
    Quarantined(sources, "new.dll");
    std::vector<QuarantineRecord> r = ReadQuarantineRecords();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(ReadTextFile(Index()), Bytes(kept) + Bytes(r[1]));
}

TEST_F(QuarantineStore, RestoreOntoAnExistingFileFailsAndKeepsCopyAndRecord) {
    std::string source = Quarantined(sources, "busy.dll");
    QuarantineRecord record = ReadQuarantineRecords().at(0);
    EXPECT_FALSE(RestoreQuarantinedFile(record.copyPath, record.sourcePath));  // own move, then the tool's
    EXPECT_EQ(ReadTextFile(record.copyPath), source);
    EXPECT_EQ(ReadQuarantineRecords().size(), 1u);
    EXPECT_TRUE(DeleteQuarantinedCopy(record.copyPath));
    EXPECT_FALSE(DeleteQuarantinedCopy(record.copyPath));
}

}  // namespace
