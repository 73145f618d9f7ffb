#include "file_facts/shared_file.h"

CHandle OpenSharedFile(const std::wstring& path, DWORD* error) {
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    DWORD code = file ? ERROR_SUCCESS : GetLastError();
    if (file && GetFileType(file.Get()) != FILE_TYPE_DISK) {
        file.Reset();
        code = ERROR_BAD_FILE_TYPE;
    }
    if (error) *error = code;
    return file;
}
