// Autorun entries of the registry's Run-type keys, and the App Paths lookup
// that turns a bare program name into a path.
#include "autorun/autorun_sources.h"

#include "findings/bounded_copy.h"

#include <cstring>

namespace {

const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

constexpr DWORD kValueNameChars = 256;
constexpr DWORD kValueDataBytes = 520;
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
    for (DWORD index = 0;; ++index) {
        char name[kValueNameChars];
        DWORD nameChars = kValueNameChars;
        // One byte beyond the size given to the call keeps a text terminated
        // even when it was stored without its NUL.
        char data[kValueDataBytes + 1];
        DWORD dataBytes = kValueDataBytes;
        DWORD type = 0;
        LONG status = RegEnumValueA(key, index, name, &nameChars, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        if (type != REG_SZ) continue;
        data[dataBytes] = '\0';
        CAutoRunInfo entry = {};
        entry.m_nType = AUTORUN_REGISTRY;
        FillProgram(data, entry);
        entry.m_hRootKey = root;
        CopyBounded(entry.m_szLocation, subkey, kAutoRunPathChars);
        CopyBounded(entry.m_szValueName, name, kAutoRunValueNameChars);
        inventory.push_back(entry);
    }
    RegCloseKey(key);
}
