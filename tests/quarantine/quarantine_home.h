// Where a test keeps its quarantine.
#pragma once

#include <windows.h>

#include <string>

#include "quarantine/quarantine_store.h"
#include "test_support.h"
#include "tool/tool_client.h"

// The quarantine lives beside the tool: a copy of the real tool in folder
// keeps it there, for a tool client and a store made from that folder.
inline bool UseQuarantineHome(const std::string& folder) {
    const std::wstring home = testing_support::Wide(folder);
    return CopyFileW(testing_support::Wide(testing_support::BinDir() + "veyrith_configure.exe").c_str(),
                     (home + L"veyrith_configure.exe").c_str(), FALSE) != FALSE;
}

// A file or folder of a quarantine home moved aside for as long as the
// object lives: the tool, so that none can be started; the quarantine
// folder, so that a file can stand in its place.
class SetAside {
public:
    SetAside(const std::string& folder, const std::string& name)
        : m_path(testing_support::Wide(folder + name)), m_aside(m_path + L".aside") {
        m_moved = MoveFileW(m_path.c_str(), m_aside.c_str()) != FALSE;
    }
    ~SetAside() {
        DeleteFileW(m_path.c_str());
        if (m_moved) MoveFileW(m_aside.c_str(), m_path.c_str());
    }
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;
    bool Moved() const { return m_moved; }

private:
    std::wstring m_path, m_aside;
    bool m_moved = false;
};
