#include "file_facts/file_facts.h"

#include "common/owners.h"
#include "common/string_resource.h"
#include "file_facts/file_hash.h"
#include "file_facts/shared_file.h"
#include "file_facts/version_strings.h"
#include "resources/resource.h"

FileFacts CheckFileFacts(const std::wstring& path) {
    std::atomic<bool> never(false);
    FileFacts facts;
    CheckFileFacts(path, facts, never);
    return facts;
}

bool CheckFileFacts(const std::wstring& path, FileFacts& facts, const std::atomic<bool>& stop) {
    facts = FileFacts();
    DWORD error = ERROR_SUCCESS;
    CHandle file = OpenSharedFile(path, &error);
    if (!file) {
        facts.signature.status = HRESULT_FROM_WIN32(error);
        return true;
    }
    // The hash first: it is what can take long, and it stops when asked.
    if (!FileSha256(file.Get(), facts.sha256, &stop) && stop.load()) return false;
    facts.signature = CheckFileSignature(path, file.Get());
    if (stop.load()) return false;
    VersionStrings strings = ReadVersionStrings(path);
    facts.company = std::move(strings.company);
    facts.version = std::move(strings.version);
    return true;
}

std::wstring CheckingText() { return LoadResString(IDS_FILE_FACTS_CHECKING); }
