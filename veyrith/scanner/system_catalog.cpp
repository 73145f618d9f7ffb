#include "scanner/system_catalog.h"

#include <windows.h>
#include <wintrust.h>

#include <utility>
#include <vector>

#include "common/owners.h"
#include "common/system_library.h"

namespace {

// The catalog database that holds the system's own catalogs.
const wchar_t kSystemCatalogs[] = L"\\CatRoot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\*.cat";
const GUID kDriverActionVerify = {0xf750e6c3, 0x38ee, 0x11d1, {0x85, 0xe5, 0x00, 0xc0, 0x4f, 0xc2, 0x95, 0xee}};
// WINTRUST_ACTION_GENERIC_VERIFY_V2.
const GUID kGenericVerifyV2 = {0x00aac56b, 0xcd44, 0x11d0, {0x8c, 0xc2, 0x00, 0xc0, 0x4f, 0xc2, 0x95, 0xee}};

typedef BOOL(WINAPI* AcquireFn)(HANDLE*, const GUID*, DWORD);
typedef BOOL(WINAPI* AcquireFn2)(HANDLE*, const GUID*, PCWSTR, const void*, DWORD);
typedef BOOL(WINAPI* ReleaseFn)(HANDLE, DWORD);
typedef BOOL(WINAPI* HashFn)(HANDLE, DWORD*, BYTE*, DWORD);
typedef BOOL(WINAPI* HashFn2)(HANDLE, HANDLE, DWORD*, BYTE*, DWORD);
typedef HANDLE(WINAPI* EnumFn)(HANDLE, BYTE*, DWORD, DWORD, HANDLE*);
typedef BOOL(WINAPI* ReleaseCatalogFn)(HANDLE, HANDLE, DWORD);
typedef BOOL(WINAPI* CatalogInfoFn)(HANDLE, void*, DWORD);
typedef LONG(WINAPI* VerifyFn)(HWND, GUID*, void*);

// CATALOG_INFO, which older headers lack.
struct CatalogInfo {
    DWORD cbStruct;
    WCHAR wszCatalogFile[MAX_PATH];
};

// The functions of wintrust.dll from the system folder, looked up once.
struct Wintrust {
    CLibrary library;
    AcquireFn acquire = nullptr;
    AcquireFn2 acquire2 = nullptr;
    ReleaseFn release = nullptr;
    HashFn hash = nullptr;
    HashFn2 hash2 = nullptr;
    EnumFn enumCatalog = nullptr;
    ReleaseCatalogFn releaseCatalog = nullptr;
    CatalogInfoFn catalogInfo = nullptr;
    VerifyFn verify = nullptr;

    template <typename Fn>
    void Find(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library.Get(), name)));
    }
    Wintrust() : library(LoadLibraryW((SystemFolder() + L"\\wintrust.dll").c_str())) {
        if (!library) return;
        Find(acquire, "CryptCATAdminAcquireContext");
        Find(acquire2, "CryptCATAdminAcquireContext2");
        Find(release, "CryptCATAdminReleaseContext");
        Find(hash, "CryptCATAdminCalcHashFromFileHandle");
        Find(hash2, "CryptCATAdminCalcHashFromFileHandle2");
        Find(enumCatalog, "CryptCATAdminEnumCatalogFromHash");
        Find(releaseCatalog, "CryptCATAdminReleaseCatalogContext");
        Find(catalogInfo, "CryptCATCatalogInfoFromContext");
        Find(verify, "WinVerifyTrust");
    }
    bool Whole() const { return acquire && release && hash && enumCatalog && releaseCatalog && catalogInfo && verify; }
};

const Wintrust& Functions() {
    static const Wintrust functions;
    return functions;
}

// A catalog administrator context, released with its owner.
class CCatalogAdmin {
public:
    CCatalogAdmin(const Wintrust& wt, bool sha256) : m_wt(wt) {
        if (sha256 && wt.acquire2) wt.acquire2(&m_handle, &kDriverActionVerify, L"SHA256", nullptr, 0);
        else if (!sha256) wt.acquire(&m_handle, &kDriverActionVerify, 0);
    }
    ~CCatalogAdmin() {
        if (m_handle) m_wt.release(m_handle, 0);
    }
    CCatalogAdmin(const CCatalogAdmin&) = delete;
    CCatalogAdmin& operator=(const CCatalogAdmin&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    const Wintrust& m_wt;
    HANDLE m_handle = nullptr;
};

// One catalog that holds a hash, released with its owner.
class CCatalogMatch {
public:
    CCatalogMatch(const Wintrust& wt, HANDLE admin, std::vector<BYTE>& hash) : m_wt(wt), m_admin(admin) {
        m_handle = wt.enumCatalog(admin, hash.data(), static_cast<DWORD>(hash.size()), 0, nullptr);
    }
    ~CCatalogMatch() {
        if (m_handle) m_wt.releaseCatalog(m_admin, m_handle, 0);
    }
    CCatalogMatch(const CCatalogMatch&) = delete;
    CCatalogMatch& operator=(const CCatalogMatch&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    const Wintrust& m_wt;
    HANDLE m_admin;
    HANDLE m_handle = nullptr;
};

bool FileHash(const Wintrust& wt, HANDLE admin, HANDLE file, bool sha256, std::vector<BYTE>& hash) {
    DWORD size = 0;
    if (sha256) wt.hash2(admin, file, &size, nullptr, 0);
    else wt.hash(file, &size, nullptr, 0);
    if (!size || size > 64) return false;
    hash.assign(size, 0);
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return sha256 ? wt.hash2(admin, file, &size, hash.data(), 0) != 0 : wt.hash(file, &size, hash.data(), 0) != 0;
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
bool CatalogVerifies(const Wintrust& wt, const wchar_t* catalog, const std::wstring& path, HANDLE file,
                     std::vector<BYTE>& hash) {
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
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_CATALOG;
    data.pCatalog = &member;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = kGenericVerifyV2;
    LONG status = wt.verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    wt.verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return status == ERROR_SUCCESS;
}

bool FoundInCatalog(const Wintrust& wt, const std::wstring& path, HANDLE file, bool sha256) {
    if (sha256 && (!wt.acquire2 || !wt.hash2)) return false;
    CCatalogAdmin admin(wt, sha256);
    std::vector<BYTE> hash;
    if (!admin.Get() || !FileHash(wt, admin.Get(), file, sha256, hash)) return false;
    CCatalogMatch match(wt, admin.Get(), hash);
    CatalogInfo info = {sizeof(info), {}};
    if (!match.Get() || !wt.catalogInfo(match.Get(), &info, 0)) return false;
    return CatalogVerifies(wt, info.wszCatalogFile, path, file, hash);
}

bool LookUp(const std::wstring& path) {
    const Wintrust& wt = Functions();
    if (!wt.Whole()) return false;
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    return FoundInCatalog(wt, path, file.Get(), true) || FoundInCatalog(wt, path, file.Get(), false);
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
