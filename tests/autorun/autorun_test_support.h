// Things the autorun tests create in the real registry, Startup folder and
// win.ini, each removed again when the test ends.
#pragma once

#include "autorun/autorun_sources.h"

#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

namespace autorun_test {

extern const char kRunKey[];
extern const char kRunOnceKey[];
extern const char kRunServicesKey[];
extern const char kAppPathsKey[];

// Registry values and keys made by a test; all deleted by the destructor.
class RegistryScratch {
public:
    ~RegistryScratch();
    bool SetValue(HKEY root, const char* key, const char* name, const std::string& data,
                  DWORD type = REG_SZ);
    // A subkey of App Paths whose default value is the given path.
    bool SetAppPath(HKEY root, const std::string& program, const std::string& path,
                    DWORD type = REG_SZ);
private:
    struct Value { HKEY root; std::string key; std::string name; };
    std::vector<Value> m_values;
    std::vector<std::pair<HKEY, std::string>> m_keys;
};

// A shortcut file in the user's real Startup folder; deleted by the destructor.
class StartupShortcut {
public:
    StartupShortcut(const std::string& fileName, const std::string& target,
                    int folder = CSIDL_STARTUP);
    ~StartupShortcut();
    bool Made() const { return m_made; }
    const std::string& Path() const { return m_path; }
private:
    std::string m_path;
    bool m_made = false;
};

// Makes a .lnk file through the shell link object.
bool MakeShortcut(const std::string& linkPath, const std::string& target);
bool MakeShortcut(const std::wstring& linkPath, const std::wstring& target);

// One option of win.ini's "windows" section, put back as it was afterwards.
class WinIniOption {
public:
    explicit WinIniOption(const char* option);
    ~WinIniOption();
    // Writes the value (removes the option for null); true when win.ini
    // then reads as asked.
    bool Set(const char* value);
private:
    std::string m_option;
    std::string m_saved;
    bool m_existed = false;
};

// The registry entry with the given root and value name, or null.
const CAutoRunInfo* FindRegistryEntry(const CAutoRunArray& inventory, HKEY root,
                                      const char* valueName);
const CAutoRunInfo* FindRegistryEntry(const CAutoRunArray& inventory, HKEY root,
                                      const std::wstring& valueName);

// Position of the first entry whose location equals the text, or -1.
int IndexOfLocation(const CAutoRunArray& inventory, const std::string& location);

std::string ShortPath(const std::string& path);
std::string Lower(std::string text);
std::wstring Lower(std::wstring text);

}  // namespace autorun_test
