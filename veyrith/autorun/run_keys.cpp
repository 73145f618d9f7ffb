// Autorun entries of the registry's Run-type keys, and the App Paths lookup
// that turns a bare program name into a path.
#include "autorun/autorun_sources.h"

#include "findings/bounded_copy.h"

#include <vector>

namespace {

const wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// A value or subkey name may have up to 16383 characters: every name is read
// whole, so none is ever taken for another one that it starts with.
constexpr DWORD kNameChars = 16384;
constexpr DWORD kSearchResultChars = 520;
constexpr DWORD kAppPathBytes = 520;

// The default value of one App Paths subkey, when it is a terminated text.
bool ReadAppPathValue(HKEY appPaths, const wchar_t* subkey, std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(appPaths, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    wchar_t data[kAppPathBytes / sizeof(wchar_t)];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    size_t chars = size / sizeof(wchar_t);
    if (chars > 0 && data[chars - 1] != L'\0') return false;
    path = chars > 0 ? data : L"";
    return true;
}

// What a Run command starts: the file the standard search finds, else the
// App Paths registration (the machine's before the user's), else the
// command as it stands. The field is only compared and shown, never acted
// on, so a command longer than the field keeps its start.
void FillProgram(const wchar_t* command, CAutoRunInfo& entry) {
    wchar_t found[kSearchResultChars];
    DWORD length = SearchPathW(nullptr, command, nullptr, kSearchResultChars, found, nullptr);
    if (length > 0 && length < kSearchResultChars) {
        CopyBounded(entry.m_szProgram, found, kAutoRunPathChars);
        return;
    }
    std::wstring machinePath;
    std::wstring userPath;
    bool inMachine = FindAppPath(HKEY_LOCAL_MACHINE, command, machinePath);
    bool inUser = FindAppPath(HKEY_CURRENT_USER, command, userPath);
    if (inMachine) {
        CopyBounded(entry.m_szProgram, machinePath, kAutoRunPathChars);
    } else if (inUser) {
        CopyBounded(entry.m_szProgram, userPath, kAutoRunPathChars);
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

// Reads the value at index, whatever the length of its data: the buffer is
// sized to the key's longest data, asked anew for each value because the key
// may change while it is read. ERROR_MORE_DATA is left for data that grew
// in between; such a value is skipped.
LONG ReadRunValue(HKEY key, DWORD index, RunValue& value) {
    DWORD longestData = 0;
    LONG status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &longestData, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    value.data.assign(longestData / sizeof(wchar_t) + 2, L'\0');
    DWORD nameChars = kNameChars;
    DWORD dataBytes = longestData;
    status = RegEnumValueW(key, index, value.name.data(), &nameChars, nullptr, &value.type,
                           reinterpret_cast<BYTE*>(value.data.data()), &dataBytes);
    if (status == ERROR_SUCCESS) value.data[dataBytes / sizeof(wchar_t)] = L'\0';
    return status;
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
    HKEY appPaths = nullptr;
    if (RegOpenKeyExW(root, kAppPathsKey, 0, KEY_READ, &appPaths) != ERROR_SUCCESS) return false;
    bool found = false;
    std::vector<wchar_t> name(kNameChars);
    for (DWORD index = 0; !found; ++index) {
        DWORD nameChars = kNameChars;
        if (RegEnumKeyExW(appPaths, index, name.data(), &nameChars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (lstrcmpiW(name.data(), programName) == 0) found = ReadAppPathValue(appPaths, name.data(), path);
    }
    RegCloseKey(appPaths);
    return found;
}

void ReadRunKey(HKEY root, const wchar_t* subkey, CAutoRunArray& inventory) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    RunValue value;
    for (DWORD index = 0;; ++index) {
        LONG status = ReadRunValue(key, index, value);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        std::wstring command;
        if (!RunCommand(value, command)) continue;
        CAutoRunInfo entry = {};
        entry.m_nType = AUTORUN_REGISTRY;
        FillProgram(command.c_str(), entry);
        FillRegistryPlace(root, subkey, value.name.data(), entry);
        inventory.push_back(entry);
    }
    RegCloseKey(key);
}
