// Autorun entries of the Startup folders: one per shortcut file, with the
// shortcut's target resolved through the shell link object.
#include "autorun/autorun_sources.h"

#include "common/owners.h"
#include "findings/bounded_copy.h"

#include <shlobj.h>

namespace {

// Longest time the shell may spend resolving one shortcut, in milliseconds.
constexpr DWORD kResolveTimeoutMs = 300;

// Resolution never shows the shell's "Missing Shortcut" dialog, never runs a
// search or the link-tracking service for a missing target, and leaves the
// link file as it is: a target that is not where the link says is simply
// not found, and the census goes on at once.
constexpr DWORD kResolveFlags = DWORD{SLR_NO_UI} | DWORD{SLR_NOSEARCH} | DWORD{SLR_NOTRACK} |
                                DWORD{SLR_NOUPDATE} | (kResolveTimeoutMs << 16);

// The file-system path of a shell special folder; false when the system has
// none for it. The same lookup as the check that an entry is still in a
// Startup folder, so the two agree on the folder.
bool SpecialFolderPath(int folderId, wchar_t (&path)[MAX_PATH]) {
    return SUCCEEDED(SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, path)) && path[0] != L'\0';
}

// One entry for a shortcut whose target exists. A link path that does not
// fit the location field whole leaves it empty: the entry still tells that
// the program starts with Windows, but no action can name the link.
void AddShortcutEntry(const std::wstring& linkPath, const std::wstring& target, CAutoRunArray& inventory) {
    CAutoRunInfo entry = {};
    entry.m_nType = AUTORUN_SHORTCUT;
    CopyWhole(entry.m_szLocation, linkPath, kAutoRunPathChars);
    CopyBounded(entry.m_szProgram, target, kAutoRunPathChars);
    inventory.push_back(entry);
}

// Appends one entry for every shortcut file of the folder whose target
// exists; a dangling or unreadable link starts nothing and gives no entry.
void ReadShortcutFiles(const std::wstring& folder, CAutoRunArray& inventory) {
    WIN32_FIND_DATAW file;
    CFindHandle search(FindFirstFileW((folder + L"\\*.lnk").c_str(), &file));
    if (!search) return;
    do {
        std::wstring linkPath = folder + L"\\" + file.cFileName;
        std::wstring target;
        if (SUCCEEDED(ResolveShortcut(linkPath.c_str(), target))) AddShortcutEntry(linkPath, target, inventory);
    } while (FindNextFileW(search.Get(), &file));
}

// The short form of a resolved target. Some shell implementations resolve
// without looking for the target and ignore the short-path request, so the
// target's existence is checked here and its short form taken once more.
HRESULT ExistingShortForm(const wchar_t* path, std::wstring& target) {
    if (path[0] == L'\0' || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    wchar_t shortPath[MAX_PATH] = {};
    DWORD length = GetShortPathNameW(path, shortPath, MAX_PATH);
    target = length > 0 && length < MAX_PATH ? shortPath : path;
    return S_OK;
}

// Loads the link file into the shell link object and asks it for its target.
HRESULT LoadAndResolve(IShellLinkW* link, const wchar_t* linkPath, std::wstring& target) {
    CComPtr<IPersistFile> file;
    HRESULT hr = link->QueryInterface(IID_IPersistFile, file.Receive());
    if (FAILED(hr)) return hr;
    hr = file->Load(linkPath, STGM_READ);
    file.Reset();
    if (FAILED(hr)) return hr;
    hr = link->Resolve(nullptr, kResolveFlags);
    if (FAILED(hr)) return hr;
    wchar_t path[MAX_PATH] = {};
    hr = link->GetPath(path, MAX_PATH, nullptr, SLGP_SHORTPATH);
    if (FAILED(hr)) return hr;
    return ExistingShortForm(path, target);
}

}  // namespace

HRESULT ResolveShortcut(const wchar_t* linkPath, std::wstring& target) {
    target.clear();
    CComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Receive());
    if (FAILED(hr)) return hr;
    return LoadAndResolve(link.Get(), linkPath, target);
}

void ReadStartupFolder(CAutoRunArray& inventory, int folderId) {
    // A thread already initialised in another apartment model refuses; the
    // walk then runs in that model and must not uninitialise it.
    HRESULT com = CoInitialize(nullptr);
    wchar_t folder[MAX_PATH] = {};
    if (SpecialFolderPath(folderId, folder)) ReadShortcutFiles(folder, inventory);
    if (SUCCEEDED(com)) CoUninitialize();
}
