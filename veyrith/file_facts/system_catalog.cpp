#include "file_facts/system_catalog.h"

#include <wintrust.h>

#include <utility>
#include <vector>

#include "common/owners.h"
#include "common/system_library.h"
#include "file_facts/shared_file.h"
#include "file_facts/trust_functions.h"
#include "file_facts/trust_verification.h"

namespace {

// The catalog database that holds the system's own catalogs.
const wchar_t kSystemCatalogs[] = L"\\CatRoot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\*.cat";
const GUID kDriverActionVerify = {0xf750e6c3, 0x38ee, 0x11d1, {0x85, 0xe5, 0x00, 0xc0, 0x4f, 0xc2, 0x95, 0xee}};

// CATALOG_INFO, which older headers lack.
struct CatalogInfo {
    DWORD cbStruct;
    WCHAR wszCatalogFile[MAX_PATH];
};

// A catalog administrator context, released with its owner.
class CCatalogAdmin {
public:
    CCatalogAdmin(const TrustFunctions& trust, bool sha256) : m_trust(trust) {
        if (sha256) trust.acquire2(&m_handle, &kDriverActionVerify, L"SHA256", nullptr, 0);
        else trust.acquire(&m_handle, &kDriverActionVerify, 0);
    }
    ~CCatalogAdmin() {
        if (m_handle) m_trust.release(m_handle, 0);
    }
    CCatalogAdmin(const CCatalogAdmin&) = delete;
    CCatalogAdmin& operator=(const CCatalogAdmin&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    const TrustFunctions& m_trust;
    HANDLE m_handle = nullptr;
};

// One catalog that holds a hash, released with its owner.
class CCatalogMatch {
public:
    CCatalogMatch(const TrustFunctions& trust, HANDLE admin, std::vector<BYTE>& hash)
        : m_trust(trust), m_admin(admin) {
        m_handle = trust.enumCatalogs(admin, hash.data(), static_cast<DWORD>(hash.size()), 0, nullptr);
    }
    ~CCatalogMatch() {
        if (m_handle) m_trust.releaseCatalog(m_admin, m_handle, 0);
    }
    CCatalogMatch(const CCatalogMatch&) = delete;
    CCatalogMatch& operator=(const CCatalogMatch&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    const TrustFunctions& m_trust;
    HANDLE m_admin;
    HANDLE m_handle = nullptr;
};

bool FileHash(const TrustFunctions& trust, HANDLE admin, HANDLE file, bool sha256, std::vector<BYTE>& hash) {
    DWORD size = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    if (sha256) trust.hash2(admin, file, &size, nullptr, 0);
    else trust.hash(file, &size, nullptr, 0);
    if (!size || size > 64) return false;
    hash.assign(size, 0);
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return sha256 ? trust.hash2(admin, file, &size, hash.data(), 0) != 0
                  : trust.hash(file, &size, hash.data(), 0) != 0;
}

std::wstring HexOf(const std::vector<BYTE>& bytes) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (BYTE b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

// The catalog's signature, checked for this member file.
LONG CatalogVerifies(const wchar_t* catalog, const std::wstring& path, HANDLE file, std::vector<BYTE>& hash,
                     std::wstring& signer) {
    std::wstring tag = HexOf(hash);
    WINTRUST_CATALOG_INFO member = {};
    member.cbStruct = sizeof(member);
    member.pcwszCatalogFilePath = catalog;
    member.pcwszMemberTag = tag.c_str();
    member.pcwszMemberFilePath = path.c_str();
    member.hMemberFile = file;
    member.pbCalculatedFileHash = hash.data();
    member.cbCalculatedFileHash = static_cast<DWORD>(hash.size());
    WINTRUST_DATA data = {};
    data.dwUnionChoice = WTD_CHOICE_CATALOG;
    data.pCatalog = &member;
    return VerifyTrust(data, signer);
}

bool HeldInCatalog(const TrustFunctions& trust, const std::wstring& path, HANDLE file, bool sha256, LONG& status,
                   std::wstring& signer) {
    CCatalogAdmin admin(trust, sha256);
    std::vector<BYTE> hash;
    if (!admin.Get() || !FileHash(trust, admin.Get(), file, sha256, hash)) return false;
    CCatalogMatch match(trust, admin.Get(), hash);
    CatalogInfo info = {sizeof(info), {}};
    if (!match.Get() || !trust.catalogInfo(match.Get(), &info, 0)) return false;
    info.wszCatalogFile[MAX_PATH - 1] = 0;
    status = CatalogVerifies(info.wszCatalogFile, path, file, hash, signer);
    return true;
}

bool LookUp(const std::wstring& path) {
    if (!Trust().CanSearchCatalogs()) return false;
    CHandle file = OpenSharedFile(path);
    LONG status = 0;
    std::wstring signer;
    return file && FindCatalogSignature(path, file.Get(), status, signer) && status == ERROR_SUCCESS;
}

// The answers so far, by path as asked.
class CCatalogAnswers {
public:
    CCatalogAnswers() { InitializeCriticalSection(&m_lock); }
    ~CCatalogAnswers() { DeleteCriticalSection(&m_lock); }
    CCatalogAnswers(const CCatalogAnswers&) = delete;
    CCatalogAnswers& operator=(const CCatalogAnswers&) = delete;

    bool Find(const std::wstring& path, bool& answer) {
        EnterCriticalSection(&m_lock);
        bool found = false;
        for (const auto& known : m_answers) {
            if (lstrcmpiW(known.first.c_str(), path.c_str())) continue;
            answer = known.second;
            found = true;
            break;
        }
        LeaveCriticalSection(&m_lock);
        return found;
    }
    void Keep(const std::wstring& path, bool answer) {
        EnterCriticalSection(&m_lock);
        m_answers.emplace_back(path, answer);
        LeaveCriticalSection(&m_lock);
    }

private:
    CRITICAL_SECTION m_lock;
    std::vector<std::pair<std::wstring, bool>> m_answers;
};

}  // namespace

bool SystemHasCatalogs() {
    static const bool has = [] {
        WIN32_FIND_DATAW found = {};
        CFindHandle search(FindFirstFileW((SystemFolder() + kSystemCatalogs).c_str(), &found));
        return static_cast<bool>(search);
    }();
    return has;
}

bool IsInSystemCatalog(const std::wstring& path) {
    static CCatalogAnswers answers;
    bool answer = false;
    if (answers.Find(path, answer)) return answer;
    answer = LookUp(path);
    answers.Keep(path, answer);
    return answer;
}

bool FindCatalogSignature(const std::wstring& path, HANDLE file, LONG& status, std::wstring& signer) {
    const TrustFunctions& trust = Trust();
    if (!trust.CanSearchCatalogs()) return false;
    bool held = trust.CanSearchCatalogsSha256() && HeldInCatalog(trust, path, file, true, status, signer);
    if (held && status == ERROR_SUCCESS) return true;
    LONG sha1Status = 0;
    std::wstring sha1Signer;
    if (!HeldInCatalog(trust, path, file, false, sha1Status, sha1Signer)) return held;
    status = sha1Status;
    signer = std::move(sha1Signer);
    return true;
}
