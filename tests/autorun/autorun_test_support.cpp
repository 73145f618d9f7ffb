#include "autorun_test_support.h"

#include "test_support.h"

#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace autorun_test {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kRunServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

namespace {

bool KeyExists(HKEY root, const std::string& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

}  // namespace

RegistryScratch::~RegistryScratch() {
    for (const Value& v : m_values)
        testing_support::DeleteValue(v.root, v.key.c_str(), v.name.c_str());
    for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it)
        testing_support::DeleteKeyTree(it->first, it->second.c_str());
}

bool RegistryScratch::SetValue(HKEY root, const char* key, const char* name,
                               const std::string& data, DWORD type) {
    if (!KeyExists(root, key)) m_keys.emplace_back(root, key);
    m_values.push_back({root, key, name});
    return testing_support::SetStringValue(root, key, name, data, type);
}

bool RegistryScratch::SetAppPath(HKEY root, const std::string& program, const std::string& path,
                                 DWORD type) {
    if (!KeyExists(root, kAppPathsKey)) m_keys.emplace_back(root, kAppPathsKey);
    std::string key = std::string(kAppPathsKey) + "\\" + program;
    m_keys.emplace_back(root, key);
    return testing_support::SetStringValue(root, key.c_str(), nullptr, path, type);
}

bool MakeShortcut(const std::string& linkPath, const std::string& target) {
    return MakeShortcut(testing_support::Wide(linkPath), testing_support::Wide(target));
}

bool MakeShortcut(const std::wstring& linkPath, const std::wstring& target) {
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    bool saved = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->SetPath(target.c_str())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            saved = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return saved;
}

StartupShortcut::StartupShortcut(const std::string& fileName, const std::string& target,
                                 int csidl) {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, folder)))
        return;
    m_path = std::string(folder) + "\\" + fileName;
    m_made = MakeShortcut(m_path, target);
}

StartupShortcut::~StartupShortcut() {
    if (!m_path.empty()) DeleteFileA(m_path.c_str());
}

namespace {

const char kAbsent[] = "<veyrith: option absent>";

std::string ReadOption(const std::string& option) {
    char value[2048] = {};
    GetProfileStringA("windows", option.c_str(), kAbsent, value, sizeof value);
    return value;
}

}  // namespace

WinIniOption::WinIniOption(const char* option) : m_option(option) {
    m_saved = ReadOption(m_option);
    m_existed = m_saved != kAbsent;
}

WinIniOption::~WinIniOption() {
    WriteProfileStringA("windows", m_option.c_str(), m_existed ? m_saved.c_str() : nullptr);
}

bool WinIniOption::Set(const char* value) {
    WriteProfileStringA("windows", m_option.c_str(), value);
    return ReadOption(m_option) == (value ? value : kAbsent);
}

const CAutoRunInfo* FindRegistryEntry(const CAutoRunArray& inventory, HKEY root,
                                      const char* valueName) {
    return FindRegistryEntry(inventory, root, testing_support::Wide(valueName));
}

const CAutoRunInfo* FindRegistryEntry(const CAutoRunArray& inventory, HKEY root,
                                      const std::wstring& valueName) {
    for (const CAutoRunInfo& entry : inventory) {
        if (entry.m_nType == AUTORUN_REGISTRY && entry.m_hRootKey == root && valueName == entry.m_szValueName)
            return &entry;
    }
    return nullptr;
}

int IndexOfLocation(const CAutoRunArray& inventory, const std::string& location) {
    for (size_t i = 0; i < inventory.size(); ++i)
        if (testing_support::Wide(location) == inventory[i].m_szLocation) return static_cast<int>(i);
    return -1;
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : "";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace autorun_test
