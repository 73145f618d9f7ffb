// Autorun entries of the registry's Run-type keys, and the App Paths lookup
// that turns a bare program name into a path.
#include "autorun/autorun_sources.h"

#include "findings/bounded_copy.h"

#include <cstring>
#include <vector>

namespace {

const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

constexpr DWORD kValueNameChars = 256;
constexpr DWORD kSearchResultBytes = 520;
constexpr DWORD kAppPathBytes = 260;

// The default value of one App Paths subkey, when it is a terminated text.
bool ReadAppPathValue(HKEY appPaths, const char* subkey, std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(appPaths, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char data[kAppPathBytes];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                   &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    if (size > 0 && data[size - 1] != '\0') return false;
    path = size > 0 ? data : "";
    return true;
}

// What a Run command starts: the file the standard search finds, else the
// App Paths registration (the machine's before the user's), else the
// command as it stands.
void FillProgram(const char* command, CAutoRunInfo& entry) {
    char found[kSearchResultBytes];
    DWORD length = SearchPathA(nullptr, command, nullptr, sizeof found, found, nullptr);
    if (length > 0 && length < sizeof found) {
        CopyBounded(entry.m_szProgram, found, kAutoRunPathChars);
        return;
    }
    std::string machinePath;
    std::string userPath;
    bool inMachine = FindAppPath(HKEY_LOCAL_MACHINE, command, machinePath);
    bool inUser = FindAppPath(HKEY_CURRENT_USER, command, userPath);
    // An App Paths value is read into 260 bytes and so fits the field whole.
    constexpr size_t kWholeField = sizeof entry.m_szProgram - 1;
    if (inMachine) {
        CopyBounded(entry.m_szProgram, machinePath.c_str(), kWholeField);
    } else if (inUser) {
        CopyBounded(entry.m_szProgram, userPath.c_str(), kWholeField);
    } else {
        CopyBounded(entry.m_szProgram, command, kAutoRunPathChars);
    }
}

// One value of a Run key as read: its name, its type, and its data with one
// byte more than the data, which keeps a text terminated even when it was
// stored without its NUL.
struct RunValue {
    char name[kValueNameChars];
    DWORD type;
    std::vector<char> data;
};

// Reads the value at index, whatever the length of its data: the buffer is
// sized to the key's longest data, asked anew for each value because the key
// may change while it is read. ERROR_MORE_DATA is left for a name beyond 255
// characters (or data that grew in between); such a value is skipped.
LONG ReadRunValue(HKEY key, DWORD index, RunValue& value) {
    DWORD longestData = 0;
    LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, &longestData, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    value.data.assign(longestData + 1, '\0');
    DWORD nameChars = kValueNameChars;
    DWORD dataBytes = longestData;
    status = RegEnumValueA(key, index, value.name, &nameChars, nullptr, &value.type,
                           reinterpret_cast<BYTE*>(value.data.data()), &dataBytes);
    if (status == ERROR_SUCCESS) value.data[dataBytes] = '\0';
    return status;
}

// A text with its environment variables expanded; the text as it stands when
// it cannot be expanded (beyond the 32K characters the expansion takes).
std::string Expanded(const char* text) {
    DWORD chars = ExpandEnvironmentStringsA(text, nullptr, 0);
    if (chars == 0) return text;
    // One character more than asked for: the ANSI form may need it.
    std::vector<char> buffer(chars + 1, '\0');
    DWORD written = ExpandEnvironmentStringsA(text, buffer.data(), chars + 1);
    if (written == 0 || written > chars + 1) return text;
    return buffer.data();
}

// The command that Windows runs for a value: a REG_SZ text as it stands, a
// REG_EXPAND_SZ text expanded. False for every other type.
bool RunCommand(const RunValue& value, std::string& command) {
    if (value.type == REG_SZ) {
        command = value.data.data();
        return true;
    }
    if (value.type != REG_EXPAND_SZ) return false;
    command = Expanded(value.data.data());
    return true;
}

}  // namespace

bool FindAppPath(HKEY root, const char* programName, std::string& path) {
    HKEY appPaths = nullptr;
    if (RegOpenKeyExA(root, kAppPathsKey, 0, KEY_READ, &appPaths) != ERROR_SUCCESS) return false;
    bool found = false;
    for (DWORD index = 0; !found; ++index) {
        char name[kValueNameChars];
        DWORD nameChars = kValueNameChars;
        if (RegEnumKeyExA(appPaths, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (lstrcmpiA(name, programName) == 0) found = ReadAppPathValue(appPaths, name, path);
    }
    RegCloseKey(appPaths);
    return found;
}

void ReadRunKey(HKEY root, const char* subkey, CAutoRunArray& inventory) {
    HKEY key = nullptr;
    if (RegOpenKeyA(root, subkey, &key) != ERROR_SUCCESS) return;
    RunValue value;
    for (DWORD index = 0;; ++index) {
        LONG status = ReadRunValue(key, index, value);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        std::string command;
        if (!RunCommand(value, command)) continue;
        CAutoRunInfo entry = {};
        entry.m_nType = AUTORUN_REGISTRY;
        FillProgram(command.c_str(), entry);
        entry.m_hRootKey = root;
        CopyBounded(entry.m_szLocation, subkey, kAutoRunPathChars);
        CopyBounded(entry.m_szValueName, value.name, kAutoRunValueNameChars);
        inventory.push_back(entry);
    }
    RegCloseKey(key);
}
