#include "affected_applications.h"

#include <psapi.h>

#include <algorithm>

#include "autorun/autorun_sources.h"
#include "file_description.h"
#include "folder_relation.h"
#include "resource.h"
#include "string_resource.h"

namespace {

constexpr DWORD kListBytes = 4096;
constexpr DWORD kOpenAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr int kPathKeep = 260;          // 259 characters and the zero
constexpr int kDescriptionKeep = 1023;  // 1022 characters and the zero

struct VisibleSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<VisibleSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = true;
    return FALSE;
}

BOOL CALLBACK CollectVisibleOwner(HWND window, LPARAM param) {
    if (!IsWindowVisible(window)) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    reinterpret_cast<std::vector<DWORD>*>(param)->push_back(owner);
    return TRUE;
}

bool MatchModules(HANDLE process, const char* modulePath, char (&exePath)[MAX_PATH]) {
    HMODULE modules[kListBytes / sizeof(HMODULE)];
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules, kListBytes, &needed) || needed == 0) return false;
    DWORD count = (needed < kListBytes ? needed : kListBytes) / sizeof(HMODULE);
    for (DWORD i = 0; i < count; ++i) {
        char name[MAX_PATH];
        if (!GetModuleFileNameExA(process, modules[i], name, MAX_PATH)) continue;
        if (lstrcmpiA(name, modulePath) != 0) continue;
        if (GetModuleFileNameExA(process, modules[0], exePath, MAX_PATH)) return true;
    }
    return false;
}

}  // namespace

bool FindModuleInProcess(DWORD processId, const char* modulePath, char (&exePath)[MAX_PATH]) {
    HANDLE process = OpenProcess(kOpenAccess, FALSE, processId);
    if (!process) return false;
    bool found = MatchModules(process, modulePath, exePath);
    CloseHandle(process);
    return found;
}

bool HasVisibleWindow(DWORD processId) {
    VisibleSearch search = {processId, false};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<DWORD> VisibleWindowOwners() {
    std::vector<DWORD> owners;
    EnumWindows(CollectVisibleOwner, reinterpret_cast<LPARAM>(&owners));
    std::sort(owners.begin(), owners.end());
    owners.erase(std::unique(owners.begin(), owners.end()), owners.end());
    return owners;
}

void CAffectedApplications::Reset() { m_records.clear(); }

bool CAffectedApplications::IsVisible(DWORD processId) const {
    if (!m_bInCensus) return HasVisibleWindow(processId);
    return std::binary_search(m_visibleOwners.begin(), m_visibleOwners.end(), processId);
}

std::string CAffectedApplications::DescriptionOf(const char* exePath) {
    if (!m_bInCensus) return GetFileDescription(exePath);
    char key[MAX_PATH];
    lstrcpynA(key, exePath, MAX_PATH);
    CharLowerA(key);
    auto known = m_descriptions.find(key);
    if (known != m_descriptions.end()) return known->second;
    std::string description = GetFileDescription(exePath);
    m_descriptions[key] = description;
    return description;
}

void CAffectedApplications::TakeCensus(const char* modulePath) {
    Reset();
    CollectAutoRuns(m_autoRuns);
    DWORD processIds[kListBytes / sizeof(DWORD)];
    DWORD needed = 0;
    if (!EnumProcesses(processIds, kListBytes, &needed) || needed == 0) return;
    // The windows are read once and each executable's description once: a
    // census reflects one moment, and reading them per process would cost the
    // whole window list (and a file read) for every match.
    m_visibleOwners = VisibleWindowOwners();
    m_bInCensus = true;
    DWORD count = (needed < kListBytes ? needed : kListBytes) / sizeof(DWORD);
    for (DWORD i = 0; i < count; ++i) ProbeProcess(processIds[i], modulePath);
    m_bInCensus = false;
    m_visibleOwners.clear();
    m_descriptions.clear();
}

int CAffectedApplications::ProbeProcess(DWORD processId, const char* modulePath) {
    char exePath[MAX_PATH] = {};
    if (!FindModuleInProcess(processId, modulePath, exePath)) return 0;

    CListItemState record = {};
    lstrcpynA(record.m_szPath, exePath, kPathKeep);
    record.m_bVisible = IsVisible(processId) ? TRUE : FALSE;
    std::string description = DescriptionOf(exePath);
    if (description.empty()) description = fw::LoadResString(IDS_DESCRIPTION_ABSENT);
    lstrcpynA(record.m_szDescription, description.c_str(), kDescriptionKeep);
    record.m_dwProcessId = processId;
    FindAutoRunForProcess(m_autoRuns, exePath, record.m_autoRun);
    record.m_bSameFolder = SharesFolder(modulePath, exePath) ? TRUE : FALSE;
    ApplyAlertLevel(record);
    m_records.push_back(record);
    return 1;
}
