#include "uninstall/paths.h"

#include "installer_shared/system_library.h"

namespace uninstall {
namespace {

using QueryImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
using ModuleFileNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);

// Longer than any path the system hands out for a program file.
constexpr DWORD kImagePathChars = 32768;

// A call that fills a buffer and answers the length it needed, tried with a
// buffer of MAX_PATH and then once with the length it asked for.
template <typename Call>
std::wstring Filled(Call call) {
    std::wstring text(MAX_PATH, L'\0');
    DWORD length = call(&text[0], static_cast<DWORD>(text.size()));
    if (length >= text.size()) {
        text.assign(length, L'\0');
        length = call(&text[0], static_cast<DWORD>(text.size()));
    }
    if (length == 0 || length >= text.size()) return std::wstring();
    text.resize(length);
    return text;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full = Filled([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
    return full.empty() ? path : full;
}

std::wstring LongPath(const std::wstring& path) {
    std::wstring longPath = Filled([&](wchar_t* buffer, DWORD size) {
        return GetLongPathNameW(path.c_str(), buffer, size);
    });
    return longPath.empty() ? path : longPath;
}

// Before Vista the process status library reads the program file.
std::wstring ImageFromModuleList(HANDLE process) {
    installer::CLibrary statusLibrary = installer::LoadSystemLibrary(L"psapi.dll");
    auto moduleFileName = installer::FunctionOf<ModuleFileNameFn>(statusLibrary.Get(), "GetModuleFileNameExW");
    if (!moduleFileName) return std::wstring();
    std::wstring image(kImagePathChars, L'\0');
    DWORD length = moduleFileName(process, nullptr, &image[0], kImagePathChars);
    image.resize(length < kImagePathChars ? length : 0);
    return image;
}

}  // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

std::wstring ParentOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ComparablePath(const std::wstring& path) {
    std::wstring comparable = LongPath(FullPath(path));
    if (!comparable.empty()) CharUpperBuffW(&comparable[0], static_cast<DWORD>(comparable.size()));
    return comparable;
}

bool IsSamePath(const std::wstring& first, const std::wstring& second) {
    return !first.empty() && ComparablePath(first) == ComparablePath(second);
}

std::wstring OwnProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kImagePathChars) return std::wstring();
        path.resize(path.size() * 2);
    }
}

installer::CHandle OpenForInspection(DWORD processId) {
    installer::CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    if (process) return process;
    // Systems before Vista know only the full query right.
    return installer::CHandle(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId));
}

std::wstring ImageOf(HANDLE process) {
    auto queryImageName = installer::FunctionOf<QueryImageNameFn>(GetModuleHandleW(L"kernel32.dll"),
                                                                  "QueryFullProcessImageNameW");
    if (!queryImageName) return ImageFromModuleList(process);
    std::wstring image(kImagePathChars, L'\0');
    DWORD size = kImagePathChars;
    if (!queryImageName(process, 0, &image[0], &size)) return std::wstring();
    image.resize(size);
    return image;
}

}  // namespace uninstall
