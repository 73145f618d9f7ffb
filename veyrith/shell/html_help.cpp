#include "shell/html_help.h"

namespace {
// HtmlHelpW's export ordinal and its display-table-of-contents command.
constexpr WORD kHtmlHelpOrdinal = 15;
constexpr UINT kDisplayToc = 1;
constexpr UINT kCloseAll = 0x12;
}  // namespace

CHtmlHelp::CHtmlHelp(std::string serverKey, std::string library)
    : m_strServerKey(std::move(serverKey)), m_strLibrary(std::move(library)) {}

CHtmlHelp::~CHtmlHelp() {
    // The viewer's windows run on our thread with the runtime's code: close
    // them before the code goes.
    if (m_pfnHtmlHelp) m_pfnHtmlHelp(nullptr, nullptr, kCloseAll, 0);
}

std::string CHtmlHelp::RegisteredLibrary() const {
    CRegistryKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, m_strServerKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return std::string();
    // One spare byte keeps the value terminated even when the registry
    // stored it without its zero.
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    if (type == REG_SZ) return value;
    char expanded[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsA(value, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return std::string();
    return expanded;
}

bool CHtmlHelp::Load() {
    if (m_bTried) return m_pfnHtmlHelp != nullptr;
    m_bTried = true;
    std::string registered = RegisteredLibrary();
    if (!registered.empty()) m_hLibrary = CLibrary(LoadLibraryA(registered.c_str()));
    if (!m_hLibrary) m_hLibrary = CLibrary(LoadLibraryA(m_strLibrary.c_str()));
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

std::string CHtmlHelp::LoadedFrom() const {
    if (!m_hLibrary) return std::string();
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(m_hLibrary.Get(), path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}
