// The name rule that every name of a request or record passes, and the
// record file of removed Run values.
#include "common/autorun_backup.h"
#include "common/file_names.h"
#include "common/quarantine_index.h"
#include "common/tool_request.h"

#include <gtest/gtest.h>

TEST(ResolvedNames, OnlyNamesTheFileSystemKeepsAsWritten) {
    for (const wchar_t* name : {L"a.txt", L"index.dat", L"a b.c d", L"~tilde.txt", L"LONGNAME~1.TXT", L"AB~1.HTML",
                                L"CONSOLE", L"COM10", L"LPT0", L".hidden", L"\u0436~1.txt2"})
        EXPECT_TRUE(IsResolvedName(name)) << name;
    for (const wchar_t* name : {L"", L".", L"..", L"a.", L"a ", L"a. .", L"a:b", L"a\\b", L"a/b", L"a*", L"a?",
                                L"a\"", L"a<", L"a>", L"a|", L"a\tb", L"CON", L"con.txt", L"Nul .log", L"aux",
                                L"PRN.x.y", L"COM1", L"lpt9.dat", L"COM\u00b9", L"CONOUT$", L"PROGRA~1",
                                L"progr~12.txt", L"A~1", L"con.txt.x.y"})
        EXPECT_FALSE(IsResolvedName(name)) << name;
}

TEST(ResolvedNames, AFullPathWhoseEveryNameIsResolved) {
    EXPECT_TRUE(IsResolvedPath(L"C:\\windows\\system32\\kernel32.dll"));
    EXPECT_TRUE(IsResolvedPath(L"c:\\no such folder\\file.txt"));
    for (const wchar_t* path :
         {L"", L"C:", L"C:\\", L"a.txt", L"\\\\server\\share\\a.txt", L"\\\\?\\C:\\a.txt", L"\\\\.\\C:\\a.txt",
          L"C:a.txt", L"C:\\a\\\\b.txt", L"C:\\a\\", L"C:\\a\\.\\b.txt", L"C:\\a\\..\\b.txt", L"C:/a/b.txt",
          L"C:\\PROGRA~1\\a.txt", L"C:\\a.\\b.txt", L"C:\\a\\b.txt:stream", L"C:\\a\\con\\b.txt"})
        EXPECT_FALSE(IsResolvedPath(path)) << path;
}

TEST(ResolvedNames, CopyNamesNeverNameTheQuarantinesOwnFiles) {
    EXPECT_TRUE(IsSafeCopyName(L"spy.dll"));
    for (const wchar_t* name : {L"index.dat", L"INDEX.TMP", L"autorun.dat", L"Autorun.tmp", L"~partial-0000ABCD",
                                L"~PARTIAL-x", L"index.dat.", L"a..b", L"a\x7F"})
        EXPECT_FALSE(IsSafeCopyName(name)) << name;
}

namespace {

AutorunBackup Record(const char* id, const std::wstring& name) {
    AutorunBackup record;
    record.id = id;
    record.rootKey = 0x80000002;
    record.view = kRequestView64;
    record.keyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    record.valueName = name;
    record.type = REG_EXPAND_SZ;
    record.data = {0x25, 0x00, 0x0D, 0x0A, 0xFF};
    return record;
}

}  // namespace

// Names with line breaks and "%" come back whole from a rewrite; damaged
// records and records sharing an id are left out; a file that does not start
// as a record file is none.
TEST(AutorunBackupFile, RecordsComeBackAsWrittenAndDamageIsLeftOut) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"veyrith-autorun-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring odd = L"spy\r\n%41 \u0436\u76d1";
    ASSERT_TRUE(WriteAutorunBackups(folder, {Record("0000000A", odd), Record("0000000B", L"second")}));
    std::vector<AutorunBackup> records;
    ASSERT_TRUE(ReadAutorunBackups(folder, records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].valueName, odd);
    EXPECT_EQ(records[0].rootKey, 0x80000002u);
    EXPECT_EQ(records[0].view, kRequestView64);
    EXPECT_EQ(records[0].type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(records[0].data, Record("", L"").data);
    EXPECT_EQ(records[1].valueName, L"second");
    EXPECT_FALSE(WriteAutorunBackups(folder, {Record("0000000C", L"\xD800")})) << "no exact UTF-8 form";
    DeleteFileW((folder + L"\\" + kAutorunBackupName).c_str());
    RemoveDirectoryW(folder.c_str());

    const std::string first = "Veyrith autorun backup 1\r\n";
    const std::string good =
        "[0000000D]\r\nroot=HKEY_CURRENT_USER\r\nview=32\r\nkey=K\r\nname=N\r\ntype=1\r\ndata=6100\r\n";
    ASSERT_TRUE(ParseAutorunBackups(first + good, records));
    ASSERT_EQ(records.size(), 1u);
    for (const std::string& damaged : std::vector<std::string>{
             "[0000000E]\r\nroot=HKEY_CLASSES_ROOT\r\nview=32\r\nkey=K\r\nname=N\r\ntype=1\r\ndata=61\r\n",
                       "[0000000E]\r\nroot=HKEY_CURRENT_USER\r\nview=32\r\nname=N\r\nkey=K\r\ntype=1\r\ndata=61\r\n",
          "[0000000E]\r\nroot=HKEY_CURRENT_USER\r\nview=32\r\nkey=K\r\nname=\r\ntype=1\r\ndata=61\r\n",
          "[0000000E]\r\nroot=HKEY_CURRENT_USER\r\nview=32\r\nkey=K\r\nname=%4\r\ntype=1\r\ndata=61\r\n",
          "[0000000E]\r\nroot=HKEY_CURRENT_USER\r\nview=16\r\nkey=K\r\nname=N\r\ntype=1\r\ndata=616\r\n", good}) {
        ASSERT_TRUE(ParseAutorunBackups(first + good + damaged, records));
        EXPECT_EQ(records.size(), damaged == good ? 0u : 1u) << damaged;
    }
    EXPECT_FALSE(ParseAutorunBackups(good, records));
    EXPECT_FALSE(ParseAutorunBackups("", records));
}
