#include "file_guard.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <vector>

#include "common/path_identity.h"
#include "common/system_library.h"

const wchar_t kAdministratorsOnlySddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

namespace {

typedef DWORD(WINAPI* FinalPathFn)(HANDLE, LPWSTR, DWORD, DWORD);
typedef BOOL(WINAPI* SetInfoFn)(HANDLE, int, LPVOID, DWORD);
typedef BOOL(WINAPI* SfcProtectedFn)(HANDLE, LPCWSTR);

constexpr DWORD kPathChars = 32768;
constexpr int kFileDispositionInfo = 4;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FARPROC KernelFunction(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }

// "\\?\C:\x" and "\\?\UNC\server\x" as the paths they stand for.
std::wstring WithoutLongPrefix(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

bool ReadChunk(HANDLE file, std::vector<char>& chunk, DWORD& got) {
    return ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) != 0;
}

}  // namespace

CHandle OpenShared(const std::wstring& path, DWORD access) {
    return CHandle(
        CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool FinalPathIs(HANDLE file, const std::wstring& expected) {
    auto finalPath = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(KernelFunction("GetFinalPathNameByHandleW")));
    if (!finalPath) return true;
    std::wstring path(kPathChars, L'\0');
    DWORD length = finalPath(file, &path[0], kPathChars, 0);
    if (length == 0 || length >= kPathChars) return false;
    path.resize(length);
    return IsSamePath(WithoutLongPrefix(path).c_str(), expected.c_str());
}

bool OpensWhereItSays(const std::wstring& path, DWORD access, CHandle& file) {
    file = OpenShared(path, access);
    return file && FinalPathIs(file.Get(), path);
}

bool DeleteThroughHandle(const std::wstring& path) {
    CHandle file = OpenShared(path, DELETE);
    if (!file || !FinalPathIs(file.Get(), path)) return false;
    auto setInfo = reinterpret_cast<SetInfoFn>(reinterpret_cast<void*>(KernelFunction("SetFileInformationByHandle")));
    if (!setInfo) {
        file.Reset();
        return DeleteFileW(path.c_str()) != FALSE;
    }
    BOOLEAN remove = TRUE;
    return setInfo(file.Get(), kFileDispositionInfo, &remove, sizeof(remove)) != FALSE;
}

bool IsSystemProtectedFile(const std::wstring& path) {
    CLibrary sfc = LoadSystemLibrary(L"sfc.dll");
    if (!sfc) return false;
    auto isProtected = FunctionOf<SfcProtectedFn>(sfc.Get(), "SfcIsFileProtected");
    return isProtected && isProtected(nullptr, path.c_str());
}

bool SameBytes(const std::wstring& first, const std::wstring& second) {
    CHandle a = OpenShared(first, GENERIC_READ);
    CHandle b = OpenShared(second, GENERIC_READ);
    if (!a || !b) return false;
    std::vector<char> chunkA(65536), chunkB(65536);
    for (;;) {
        DWORD gotA = 0, gotB = 0;
        if (!ReadChunk(a.Get(), chunkA, gotA) || !ReadChunk(b.Get(), chunkB, gotB)) return false;
        if (gotA != gotB || !std::equal(chunkA.begin(), chunkA.begin() + gotA, chunkB.begin())) return false;
        if (gotA == 0) return true;
    }
}

bool RestrictToAdministrators(const std::wstring& path) {
    CLocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnlySddl, SDDL_REVISION_1,
                                                              descriptor.Receive(), nullptr))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted) || !present) return false;
    return SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                 nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

bool IsReparsePoint(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
