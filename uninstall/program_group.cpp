#include "uninstall/program_group.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>

namespace uninstall {
namespace {

constexpr FILEOP_FLAGS kQuietDeletion = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;

// The file-operation object's class; declared here so that the program does
// not need a uuid library that knows it.
const CLSID kFileOperationClass = {0x3ad05575, 0x8857, 0x4850, {0x92, 0x77, 0x11, 0xb8, 0x5b, 0xdb, 0x8e, 0x09}};

using CreateItemFromParsingName = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, REFIID, void**);

bool ProgramsFolder(int csidl, std::string& folder) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) return false;
    char path[MAX_PATH] = {};
    bool found = SHGetPathFromIDListA(list, path) && path[0] != '\0';
    CoTaskMemFree(list);
    folder = path;
    return found;
}

bool SystemIsVistaOrLater() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwMajorVersion >= 6;
}

std::wstring Wide(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// The shell item of a folder, from its parsing name. The function exists
// from Vista on, so it is looked up rather than imported.
IShellItem* ItemOf(const std::string& path) {
    auto create = reinterpret_cast<CreateItemFromParsingName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("shell32.dll"), "SHCreateItemFromParsingName")));
    IShellItem* item = nullptr;
    if (!create || FAILED(create(Wide(path).c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&item))))
        return nullptr;
    return item;
}

// Vista and later: the shell's file-operation object. False when the object
// or the item cannot be made, or the operation fails.
bool DeleteWithFileOperation(const std::string& path) {
    IFileOperation* operation = nullptr;
    if (FAILED(CoCreateInstance(kFileOperationClass, nullptr, CLSCTX_ALL, IID_IFileOperation,
                                reinterpret_cast<void**>(&operation))))
        return false;
    IShellItem* item = ItemOf(path);
    bool done = item && SUCCEEDED(operation->SetOperationFlags(kQuietDeletion)) &&
                SUCCEEDED(operation->DeleteItem(item, nullptr)) && SUCCEEDED(operation->PerformOperations());
    if (item) item->Release();
    operation->Release();
    return done;
}

// Before Vista: the shell's file-operation function.
void DeleteWithFileFunction(const std::string& path) {
    std::string from = path;
    from.push_back('\0');  // the list of names ends with a second zero
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = kQuietDeletion;
    SHFileOperationA(&operation);
}

bool IsForbiddenCharacter(char c) {
    return static_cast<unsigned char>(c) < 0x20 || strchr("\\/:*?\"<>|", c) != nullptr;
}

}  // namespace

bool IsPlainFolderName(const std::string& name) {
    for (char c : name)
        if (IsForbiddenCharacter(c)) return false;
    size_t kept = name.find_last_not_of(". ");
    return kept != std::string::npos;
}

void DeleteGroupUnder(int csidl, const std::string& group) {
    std::string programs;
    if (!IsPlainFolderName(group) || !ProgramsFolder(csidl, programs)) return;
    if (programs.back() == '\\') programs.pop_back();
    std::string path = programs + "\\" + group;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // A file-operation object that cannot delete (Wine's answers "not
    // implemented") leaves the work to the older function.
    if (SystemIsVistaOrLater() && DeleteWithFileOperation(path)) return;
    DeleteWithFileFunction(path);
}

}  // namespace uninstall
