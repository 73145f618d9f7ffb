#include "file_guard.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

#include "common/path_identity.h"
#include "common/system_library.h"

namespace {

typedef DWORD(WINAPI* FinalPathFn)(HANDLE, LPWSTR, DWORD, DWORD);
typedef BOOL(WINAPI* SetInfoFn)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
typedef BOOL(WINAPI* SfcProtectedFn)(HANDLE, LPCWSTR);

struct IoStatus {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
typedef LONG(WINAPI* NtSetInformationFileFn)(HANDLE, IoStatus*, void*, ULONG, int);

constexpr DWORD kPathChars = 32768;
// FileRenameInformation and FileDispositionInformation.
constexpr int kNativeRenameClass = 10;
constexpr int kNativeDispositionClass = 13;
constexpr LONG kStatusNotSameDevice = static_cast<LONG>(0xC00000D4);
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kDeleteAccess = DELETE | GENERIC_READ;

FARPROC KernelFunction(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }

// "\\?\C:\x" and "\\?\UNC\server\x" as the paths they stand for.
std::wstring WithoutLongPrefix(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

// The path by which a 64-bit program knows a file this program reaches
// through %windir%\Sysnative: the final path names the real folder.
std::wstring NativeFormOf(const std::wstring& path) {
    wchar_t windows[MAX_PATH] = {};
    UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return path;
    std::wstring folder(windows);
    if (folder.back() != L'\\') folder += L'\\';
    const std::wstring sysnative = folder + L"Sysnative\\";
    if (path.size() <= sysnative.size() || lstrcmpiW(path.substr(0, sysnative.size()).c_str(), sysnative.c_str()))
        return path;
    return folder + L"System32\\" + path.substr(sysnative.size());
}

bool ReadChunk(HANDLE file, std::vector<char>& chunk, DWORD& got) {
    return ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) != 0;
}

bool Rewind(HANDLE file) {
    LARGE_INTEGER start = {};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != 0;
}

// A plain file: neither a folder nor a reparse point.
bool IsPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information = {};
    return GetFileInformationByHandle(file, &information) &&
           !(information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
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
    const std::wstring final = WithoutLongPrefix(path);
    return IsSamePath(final, expected) || IsSamePath(final, NativeFormOf(expected));
}

bool OpensWhereItSays(const std::wstring& path, DWORD access, CHandle& file) {
    file = OpenShared(path, access);
    return file && FinalPathIs(file.Get(), path);
}

bool NoLinkOnTheWay(const std::wstring& path) {
    // The drive root itself ("C:\") is no link; the walk starts below it.
    for (size_t end = path.find(L'\\', 3);; end = path.find(L'\\', end + 1)) {
        DWORD attributes = GetFileAttributesW(path.substr(0, end).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND ||
                                                           GetLastError() == ERROR_PATH_NOT_FOUND;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
        if (end == std::wstring::npos) return true;
    }
}

CHandle OpenToDelete(const std::wstring& path) {
    CHandle file(CreateFileW(path.c_str(), kDeleteAccess, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file || !IsPlainFile(file.Get()) || !FinalPathIs(file.Get(), path)) return CHandle();
    return file;
}

bool SameBytesThrough(HANDLE first, HANDLE second) {
    if (!Rewind(first) || !Rewind(second)) return false;
    std::vector<char> chunkA(65536), chunkB(65536);
    for (;;) {
        DWORD gotA = 0, gotB = 0;
        if (!ReadChunk(first, chunkA, gotA) || !ReadChunk(second, chunkB, gotB)) return false;
        if (gotA != gotB || !std::equal(chunkA.begin(), chunkA.begin() + gotA, chunkB.begin())) return false;
        if (gotA == 0) return true;
    }
}

bool HoldsBytesOf(HANDLE file, const std::wstring& copy) {
    CHandle other;
    return OpensWhereItSays(copy, GENERIC_READ, other) && SameBytesThrough(file, other.Get());
}

namespace {

// The system's own status of NtSetInformationFile; STATUS_NOT_IMPLEMENTED
// without the call.
LONG SetNativeInformation(HANDLE file, void* information, ULONG size, int informationClass) {
    auto native = reinterpret_cast<NtSetInformationFileFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile")));
    IoStatus status = {};
    return native ? native(file, &status, information, size, informationClass) : static_cast<LONG>(0xC0000002);
}

}  // namespace

bool DeleteOpenFile(CHandle& file) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    auto setInfo = reinterpret_cast<SetInfoFn>(reinterpret_cast<void*>(KernelFunction("SetFileInformationByHandle")));
    bool marked = setInfo ? setInfo(file.Get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE
                          : SetNativeInformation(file.Get(), &disposition, sizeof(disposition),
                                                 kNativeDispositionClass) >= 0;
    file.Reset();
    return marked;
}

bool RenameIntoFolder(HANDLE file, HANDLE folder, const std::wstring& name) {
    // FILE_RENAME_INFO with a name relative to the folder's handle. The
    // native call takes it as it is; SetFileInformationByHandle of some
    // systems (Wine) reads the name as a path of the current folder.
    const DWORD nameBytes = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes, 0);
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = folder;
    rename->FileNameLength = nameBytes;
    std::copy(name.begin(), name.end(), rename->FileName);
    LONG status = SetNativeInformation(file, rename, static_cast<ULONG>(buffer.size()), kNativeRenameClass);
    SetLastError(status == kStatusNotSameDevice ? ERROR_NOT_SAME_DEVICE : ERROR_ACCESS_DENIED);
    return status >= 0;
}

bool DeleteThroughHandle(const std::wstring& path) {
    CHandle file = OpenToDelete(path);
    return file && DeleteOpenFile(file);
}

bool DeleteWhenBytesOf(const std::wstring& path, const std::vector<std::wstring>& copies) {
    CHandle file = OpenToDelete(path);
    if (!file) return false;
    for (const std::wstring& copy : copies)
        if (HoldsBytesOf(file.Get(), copy)) return DeleteOpenFile(file);
    return false;
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
    return a && b && SameBytesThrough(a.Get(), b.Get());
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
