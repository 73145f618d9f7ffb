// Autorun entries of the registry's Run-type keys, and the App Paths lookup
// that turns a bare program name into a path.
#include "autorun/autorun_sources.h"

#include "common/owners.h"
#include "findings/bounded_copy.h"
#include "findings/lower_case.h"

#include <map>
#include <vector>

namespace {

const wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// A value or subkey name may have up to 16383 characters: every name is read
// whole, so none is ever taken for another one that it starts with.
constexpr DWORD kNameChars = 16384;
constexpr DWORD kSearchResultChars = 520;
constexpr DWORD kAppPathBytes = 520;

bool OpenForReading(HKEY root, const wchar_t* subkey, CRegistryKey& key) {
    return RegOpenKeyExW(root, subkey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

// The default value of one App Paths subkey, when it is a terminated text.
bool ReadAppPathValue(HKEY appPaths, const wchar_t* subkey, std::wstring& path) {
    CRegistryKey key;
    if (!OpenForReading(appPaths, subkey, key)) return false;
    wchar_t data[kAppPathBytes / sizeof(wchar_t)];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG status = RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    if (status != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    size_t chars = size / sizeof(wchar_t);
    if (chars > 0 && data[chars - 1] != L'\0') return false;
    path = chars > 0 ? data : L"";
    return true;
}

// The subkey names of one App Paths key, read once and only when a command
// first needs them: a long Run key would otherwise enumerate App Paths
// twice for every value. A registration's path is read when its name
// matches, as the registry holds it at that moment.
class CAppPaths {
public:
    explicit CAppPaths(HKEY root) : m_root(root) {}

    // The path registered for programName (whole names, any letter case).
    bool Find(const wchar_t* programName, std::wstring& path) {
        if (!m_bRead) ReadNames();
        for (const std::wstring& name : m_names) {
            if (lstrcmpiW(name.c_str(), programName) == 0 && ReadAppPathValue(m_key.Get(), name.c_str(), path))
                return true;
        }
        return false;
    }

private:
    void ReadNames() {
        m_bRead = true;
        if (!OpenForReading(m_root, kAppPathsKey, m_key)) return;
        std::vector<wchar_t> name(kNameChars);
        for (DWORD index = 0;; ++index) {
            DWORD nameChars = kNameChars;
            if (RegEnumKeyExW(m_key.Get(), index, name.data(), &nameChars, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            m_names.emplace_back(name.data(), nameChars);
        }
    }

    HKEY m_root;
    CRegistryKey m_key;
    bool m_bRead = false;
    std::vector<std::wstring> m_names;
};

// Which folders named by fully qualified commands are missing, each asked
// once: no search finds a file below a folder that does not exist, and Run
// keys often name many programs of one folder.
class CMissingFolders {
public:
    // True when command is a fully qualified path ("X:\...") below a folder
    // that does not exist. Folders are taken up to each separator. A path
    // with a name made of dots and spaces only ("..", which leads out of a
    // folder, or what the system trims to it) or an empty name anywhere is
    // never taken as missing.
    bool IsInMissingFolder(const wchar_t* command) {
        std::wstring text = command;
        if (text.size() < 4 || text[1] != L':' || !IsSeparator(text[2]) || HasClimbingName(text)) return false;
        for (size_t end = text.find_first_of(L"\\/", 3); end != std::wstring::npos;
             end = text.find_first_of(L"\\/", end + 1)) {
            if (IsMissing(text.substr(0, end))) return true;
        }
        return false;
    }

private:
    static bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

    // A name (between separators, or after the last) of dots and spaces only,
    // or an empty one before a separator.
    static bool HasClimbingName(const std::wstring& text) {
        size_t start = 3;
        for (size_t end = text.find_first_of(L"\\/", start);; end = text.find_first_of(L"\\/", start)) {
            std::wstring name = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
            bool onlyDots = name.find_first_not_of(L". ") == std::wstring::npos;
            if (onlyDots && (!name.empty() || end != std::wstring::npos)) return true;
            if (end == std::wstring::npos) return false;
            start = end + 1;
        }
    }

    bool IsMissing(const std::wstring& folder) {
        std::wstring key = LowerCase(folder.c_str());
        auto known = m_missing.find(key);
        if (known != m_missing.end()) return known->second;
        bool missing = false;
        if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            DWORD error = GetLastError();
            missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        }
        m_missing[key] = missing;
        return missing;
    }

    std::map<std::wstring, bool> m_missing;
};

// What finding the programs of one Run key reads once: the App Paths
// registrations of the machine and of the user, and the missing folders.
struct ProgramSearch {
    CAppPaths machine{HKEY_LOCAL_MACHINE};
    CAppPaths user{HKEY_CURRENT_USER};
    CMissingFolders folders;
};

bool SearchFile(const wchar_t* command, CMissingFolders& folders, wchar_t (&found)[kSearchResultChars]) {
    if (folders.IsInMissingFolder(command)) return false;
    DWORD length = SearchPathW(nullptr, command, nullptr, kSearchResultChars, found, nullptr);
    return length > 0 && length < kSearchResultChars;
}

// What a Run command starts: the file the standard search finds, else the
// App Paths registration (the machine's before the user's), else the
// command as it stands. The field is only compared and shown, never acted
// on, so a command longer than the field keeps its start.
void FillProgram(const wchar_t* command, ProgramSearch& search, CAutoRunInfo& entry) {
    wchar_t found[kSearchResultChars];
    if (SearchFile(command, search.folders, found)) {
        CopyBounded(entry.m_szProgram, found, kAutoRunPathChars);
        return;
    }
    std::wstring path;
    if (search.machine.Find(command, path) || search.user.Find(command, path)) {
        CopyBounded(entry.m_szProgram, path, kAutoRunPathChars);
    } else {
        CopyBounded(entry.m_szProgram, command, kAutoRunPathChars);
    }
}

// One value of a Run key as read: its name, its type, and its data with one
// character more than the data, which keeps a text terminated even when it
// was stored without its NUL.
struct RunValue {
    std::vector<wchar_t> name = std::vector<wchar_t>(kNameChars);
    DWORD type = REG_NONE;
    std::vector<wchar_t> data;
};

// The length in bytes of the key's longest value data.
LONG ReadLongestData(HKEY key, DWORD& longestData) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            &longestData, nullptr, nullptr);
}

// The number of values of the key and the length of its longest data.
LONG ReadKeySizes(HKEY key, DWORD& values, DWORD& longestData) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                            &longestData, nullptr, nullptr);
}

LONG EnumRunValue(HKEY key, DWORD index, DWORD longestData, RunValue& value) {
    value.data.assign(longestData / sizeof(wchar_t) + 2, L'\0');
    DWORD nameChars = kNameChars;
    DWORD dataBytes = longestData;
    LONG status = RegEnumValueW(key, index, value.name.data(), &nameChars, nullptr, &value.type,
                                reinterpret_cast<BYTE*>(value.data.data()), &dataBytes);
    if (status == ERROR_SUCCESS) value.data[dataBytes / sizeof(wchar_t)] = L'\0';
    return status;
}

// Reads the value at index, whatever the length of its data: the buffer is
// sized to the key's longest data, asked once per key and anew when a value
// does not fit because the key changed while it was read. ERROR_MORE_DATA
// is left for data that grew again in between; such a value is skipped.
LONG ReadRunValue(HKEY key, DWORD index, DWORD& longestData, RunValue& value) {
    LONG status = EnumRunValue(key, index, longestData, value);
    if (status != ERROR_MORE_DATA) return status;
    status = ReadLongestData(key, longestData);
    if (status != ERROR_SUCCESS) return status;
    return EnumRunValue(key, index, longestData, value);
}

// A text with its environment variables expanded; the text as it stands when
// it cannot be expanded (beyond the 32K characters the expansion takes).
std::wstring Expanded(const wchar_t* text) {
    DWORD chars = ExpandEnvironmentStringsW(text, nullptr, 0);
    if (chars == 0) return text;
    std::vector<wchar_t> buffer(chars, L'\0');
    DWORD written = ExpandEnvironmentStringsW(text, buffer.data(), chars);
    if (written == 0 || written > chars) return text;
    return buffer.data();
}

// The command that Windows runs for a value: a REG_SZ text as it stands, a
// REG_EXPAND_SZ text expanded. False for every other type.
bool RunCommand(const RunValue& value, std::wstring& command) {
    if (value.type == REG_SZ) {
        command = value.data.data();
        return true;
    }
    if (value.type != REG_EXPAND_SZ) return false;
    command = Expanded(value.data.data());
    return true;
}

// The key and value that removal names. A value name that does not fit its
// field leaves the entry without a root key: it still tells that the
// program starts with Windows, but no action can name its value.
void FillRegistryPlace(HKEY root, const wchar_t* subkey, const wchar_t* valueName, CAutoRunInfo& entry) {
    bool whole = CopyWhole(entry.m_szLocation, subkey, kAutoRunPathChars) &&
                 CopyWhole(entry.m_szValueName, valueName, kAutoRunValueNameChars);
    entry.m_hRootKey = whole ? root : nullptr;
}

}  // namespace

bool FindAppPath(HKEY root, const wchar_t* programName, std::wstring& path) {
    CAppPaths appPaths(root);
    return appPaths.Find(programName, path);
}

void ReadRunKey(HKEY root, const wchar_t* subkey, CAutoRunArray& inventory) {
    CRegistryKey key;
    DWORD values = 0;
    DWORD longestData = 0;
    if (!OpenForReading(root, subkey, key) || ReadKeySizes(key.Get(), values, longestData) != ERROR_SUCCESS) return;
    inventory.reserve(inventory.size() + values);
    ProgramSearch search;
    RunValue value;
    for (DWORD index = 0;; ++index) {
        LONG status = ReadRunValue(key.Get(), index, longestData, value);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        std::wstring command;
        if (!RunCommand(value, command)) continue;
        CAutoRunInfo entry = {};
        entry.m_nType = AUTORUN_REGISTRY;
        FillProgram(command.c_str(), search, entry);
        FillRegistryPlace(root, subkey, value.name.data(), entry);
        inventory.push_back(entry);
    }
}
