#include "folder_move.h"

#include <cstdio>
#include <vector>

#include "common/quarantine_index.h"
#include "file_guard.h"

namespace {

constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_TRAVERSE | SYNCHRONIZE;
// Names tried for the partial copy before the move gives up.
constexpr int kPartialNameTries = 16;

bool IsPlainFolder(HANDLE folder) {
    BY_HANDLE_FILE_INFORMATION information = {};
    return GetFileInformationByHandle(folder, &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool CopyBytes(HANDLE from, HANDLE to) {
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(from, start, nullptr, FILE_BEGIN)) return false;
    std::vector<char> chunk(65536);
    for (;;) {
        DWORD got = 0, written = 0;
        if (!ReadFile(from, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) return false;
        if (got == 0) return FlushFileBuffers(to) != FALSE;
        if (!WriteFile(to, chunk.data(), got, &written, nullptr) || written != got) return false;
    }
}

// A new file under a free partial name in the folder, held for reading,
// writing and deleting and shared for reading only.
CHandle NewPartialFile(const std::wstring& folderPath) {
    for (int i = 0; i < kPartialNameTries; ++i) {
        wchar_t id[16];
        std::swprintf(id, 16, L"%08X", static_cast<unsigned>(GetTickCount() + i));
        const std::wstring separator = folderPath.back() == L'\\' ? L"" : L"\\";
        const std::wstring path = folderPath + separator + kQuarantinePartialPrefix + id;
        CHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file && FinalPathIs(file.Get(), path)) return file;
        if (file) {
            DeleteOpenFile(file);
            break;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return CHandle();
}

// The move across volumes: a checked copy in the folder takes the name.
bool CopyIntoFolder(CHandle& file, HANDLE folder, const std::wstring& folderPath, const std::wstring& name) {
    CHandle partial = NewPartialFile(folderPath);
    if (!partial) return false;
    if (!CopyBytes(file.Get(), partial.Get()) || !SameBytesThrough(file.Get(), partial.Get()) ||
        !RenameIntoFolder(partial.Get(), folder, name)) {
        DeleteOpenFile(partial);
        return false;
    }
    partial.Reset();
    DeleteOpenFile(file);
    return true;
}

}  // namespace

CHandle OpenDestinationFolder(const std::wstring& folderPath) {
    CHandle folder(CreateFileW(folderPath.c_str(), kFolderAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder || !IsPlainFolder(folder.Get()) || !FinalPathIs(folder.Get(), folderPath) ||
        !NoLinkOnTheWay(folderPath))
        return CHandle();
    return folder;
}

bool MoveIntoFolder(CHandle& file, HANDLE folder, const std::wstring& folderPath, const std::wstring& name) {
    if (RenameIntoFolder(file.Get(), folder, name)) {
        file.Reset();
        return true;
    }
    bool otherVolume = GetLastError() == ERROR_NOT_SAME_DEVICE;
    if (otherVolume) return CopyIntoFolder(file, folder, folderPath, name);
    file.Reset();
    return false;
}
