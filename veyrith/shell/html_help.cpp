#include "shell/html_help.h"

namespace {
// HtmlHelpW's export ordinal and its display-table-of-contents command.
constexpr WORD kHtmlHelpOrdinal = 15;
constexpr UINT kDisplayToc = 1;
constexpr UINT kCloseAll = 0x12;
}  // namespace

CHtmlHelp::CHtmlHelp(std::wstring serverKey, std::wstring library)
    : m_strServerKey(std::move(serverKey)), m_strLibrary(std::move(library)) {}

CHtmlHelp::~CHtmlHelp() {
    // The viewer's windows run on our thread with the runtime's code: close
    // them before the code goes.
    if (m_pfnHtmlHelp) m_pfnHtmlHelp(nullptr, nullptr, kCloseAll, 0);
}

std::wstring CHtmlHelp::RegisteredLibrary() const {
    CRegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, m_strServerKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return std::wstring();
    // One spare character keeps the value terminated even when the registry
    // stored it without its zero.
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    LONG result = RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::wstring();
    if (type == REG_SZ) return value;
    wchar_t expanded[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsW(value, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return std::wstring();
    return expanded;
}

bool CHtmlHelp::Load() {
    if (m_bTried) return m_pfnHtmlHelp != nullptr;
    m_bTried = true;
    std::wstring registered = RegisteredLibrary();
    if (!registered.empty()) m_hLibrary = CLibrary(LoadLibraryW(registered.c_str()));
    if (!m_hLibrary) m_hLibrary = CLibrary(LoadLibraryW(m_strLibrary.c_str()));
    if (!m_hLibrary) return false;
    m_pfnHtmlHelp = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_hLibrary.Get(), MAKEINTRESOURCEA(kHtmlHelpOrdinal))));
    if (m_pfnHtmlHelp) return true;
    m_hLibrary.Reset();
    return false;
}

bool CHtmlHelp::DisplayContents(const std::wstring& location) {
    if (!Load()) return false;
    return m_pfnHtmlHelp(GetDesktopWindow(), location.c_str(), kDisplayToc, 0) != nullptr;
}

std::wstring CHtmlHelp::LoadedFrom() const {
    if (!m_hLibrary) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(m_hLibrary.Get(), path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}
