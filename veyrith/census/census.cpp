#include "census/census.h"

#include <algorithm>
#include <set>

#include "autorun/autorun_sources.h"
#include "findings/autorun_lookup.h"
#include "findings/bounded_copy.h"
#include "common/autorun_places.h"
#include "common/owners.h"
#include "common/path_identity.h"
#include "findings/lower_case.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "census/executable_facts.h"
#include "scanner/file_description.h"
#include "scanner/folder_relation.h"
#include "scanner/module_snapshot.h"
#include "scanner/process_identity.h"
#include "scanner/process_list.h"

namespace {

constexpr DWORD kListBytes = 4096;
constexpr int kDescriptionKeep = 1023;  // 1022 characters and the zero
// Records taken elsewhere come from the 64-bit companion, which reads the
// registry in its own, 64-bit view.
constexpr REGSAM kTakenRegistryView = KEY_WOW64_64KEY;

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

// Which of the wanted modules (lower-cased) the process has loaded, by index,
// and the process's executable (its first module, read whole) with its
// creation time. Empty when none is loaded or the modules cannot be read.
std::vector<size_t> MatchModules(DWORD processId, const std::vector<std::wstring>& wanted,
                                 std::wstring& exePath, FILETIME& created) {
    std::vector<size_t> matched;
    exePath.clear();
    std::vector<std::wstring> modules;
    if (!ReadProcessModules(processId, modules)) return matched;
    for (const std::wstring& name : modules) {
        if (name.empty()) continue;
        std::wstring lower = LowerCase(name.c_str());
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (lower == wanted[i] && std::find(matched.begin(), matched.end(), i) == matched.end())
                matched.push_back(i);
        }
    }
    if (matched.empty()) return matched;
    exePath = modules.front();
    if (!ReadProcessCreationTime(processId, created)) created = FILETIME();
    return matched;
}

// The path the record names the executable by: the path itself, or its
// short form when only that fits the field; nothing when neither does.
void FillRecordPath(const std::wstring& exePath, wchar_t (&field)[MAX_PATH]) {
    if (CopyWhole(field, exePath, MAX_PATH - 1)) return;
    wchar_t shortPath[MAX_PATH] = {};
    DWORD length = GetShortPathNameW(exePath.c_str(), shortPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH) CopyWhole(field, shortPath, MAX_PATH - 1);
}

bool RunValueExists(const CAutoRunInfo& entry, REGSAM view) {
    // An entry whose value name did not fit its field cannot be looked at
    // again by name: it is kept as it was taken.
    if (!entry.m_hRootKey) return true;
    CRegistryKey key;
    if (RegOpenKeyExW(entry.m_hRootKey, entry.m_szLocation, 0, KEY_QUERY_VALUE | view, key.Receive()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExW(key.Get(), entry.m_szValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Only a fact that names a place Windows starts programs from, and an entry
// that is still there, in the registry view it was read from.
bool TakenAutoRunExists(const CAutoRunInfo& entry) {
    const wchar_t* location = entry.m_szLocation;
    switch (entry.m_nType) {
    case AUTORUN_NONE:
        return true;
    case AUTORUN_REGISTRY:
        return IsRunKeyPlace(entry.m_hRootKey, entry.m_szLocation) && RunValueExists(entry, kTakenRegistryView);
    case AUTORUN_SHORTCUT:
        return IsStartupShortcutPlace(location) && GetFileAttributesW(location) != INVALID_FILE_ATTRIBUTES;
    default:
        return false;
    }
}

void ForgetRemovedAutoRuns(std::vector<CListItemState>& records) {
    for (CListItemState& record : records) {
        if (TakenAutoRunExists(record.m_autoRun)) continue;
        record.m_autoRun = CAutoRunInfo();
        ApplyAlertLevel(record);
    }
}

}  // namespace

bool IsTakenAutoRunCurrent(const CAutoRunInfo& entry) { return TakenAutoRunExists(entry); }

bool FindModuleInProcess(DWORD processId, const wchar_t* modulePath, std::wstring& exePath) {
    FILETIME created = {};
    return !MatchModules(processId, {LowerCase(modulePath)}, exePath, created).empty();
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

// ---- The records of one module ----

void CAffectedApplications::Reset() { m_records.clear(); }

void CAffectedApplications::TakeCensus(const wchar_t* modulePath, const CAutoRunArray& autoRuns) {
    Reset();
    CModuleCensus census({modulePath});
    census.Take(autoRuns);
    for (const CListItemState& record : *census.Find(modulePath)) Append(record);
}

int CAffectedApplications::ProbeProcess(DWORD processId, const wchar_t* modulePath,
                                        const CAutoRunArray& autoRuns) {
    CModuleCensus census({modulePath});
    int added = census.Probe(processId, autoRuns);
    for (const CListItemState& record : *census.Find(modulePath)) Append(record);
    return added;
}

// ---- The census of several modules ----

CModuleCensus::CModuleCensus(const std::vector<std::wstring>& modules)
    : m_modules(modules), m_records(modules.size()), m_taken(modules.size(), false) {
    for (const std::wstring& module : modules) m_lowerModules.push_back(LowerCase(module.c_str()));
}

void CModuleCensus::AddTakenModule(const TakenModule& taken) {
    if (Find(taken.module.c_str())) return;
    m_modules.push_back(taken.module);
    m_lowerModules.push_back(LowerCase(taken.module.c_str()));
    m_records.push_back(taken.records ? *taken.records : std::vector<CListItemState>());
    m_taken.push_back(true);
}

void CModuleCensus::Take(const CAutoRunArray& autoRuns) {
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (m_taken[i]) {
            DropChangedProcesses(m_records[i]);
            ForgetRemovedAutoRuns(m_records[i]);
        } else
            m_records[i].clear();
    }
    std::vector<DWORD> processes = ListProcessIds(kListBytes);
    if (processes.empty()) return;
    m_visibleOwners = VisibleWindowOwners();
    m_bOwnersRead = true;
    CAutoRunLookup lookup(autoRuns);
    std::vector<Match> matches = Walk(processes, lookup);
    for (const Match& match : matches) {
        for (size_t module : match.modules) {
            if (!m_taken[module]) AddRecord(module, match.processId, match.exePath.c_str(), match.created, lookup);
        }
    }
    m_bOwnersRead = false;
    m_visibleOwners.clear();
    m_descriptions.clear();
    m_autoRuns.clear();
    m_sharedFolders.clear();
    m_longFolders.clear();
}

// The processes that have a module asked for, in the order listed. The
// facts of their executables are read meanwhile and land in the census's
// caches, so that the records made afterwards find them there.
std::vector<CModuleCensus::Match> CModuleCensus::Walk(const std::vector<DWORD>& processes,
                                                      const CAutoRunLookup& autoRuns) {
    CExecutableFacts facts(autoRuns);
    for (size_t i = 0; i < m_modules.size(); ++i) {
        if (!m_taken[i]) facts.AskFolderOf(m_modules[i]);
    }
    std::set<std::wstring> asked;
    std::vector<Match> matches;
    for (DWORD processId : processes) {
        Match match;
        match.processId = processId;
        match.modules = MatchModules(processId, m_lowerModules, match.exePath, match.created);
        if (match.modules.empty()) continue;
        if (asked.insert(LowerCase(match.exePath.c_str())).second) facts.AskExecutable(match.exePath);
        matches.push_back(std::move(match));
    }
    CExecutableFacts::Read read = facts.Finish();
    m_descriptions.insert(read.descriptions.begin(), read.descriptions.end());
    m_autoRuns.insert(read.autoRuns.begin(), read.autoRuns.end());
    m_longFolders.insert(read.longFolders.begin(), read.longFolders.end());
    return matches;
}

const std::vector<CListItemState>* CModuleCensus::Find(const wchar_t* modulePath) const {
    std::wstring lower = LowerCase(modulePath);
    for (size_t i = 0; i < m_lowerModules.size(); ++i) {
        if (m_lowerModules[i] == lower) return &m_records[i];
    }
    return nullptr;
}

int CModuleCensus::Probe(DWORD processId, const CAutoRunArray& autoRuns) {
    return Probe(processId, CAutoRunLookup(autoRuns));
}

int CModuleCensus::Probe(DWORD processId, const CAutoRunLookup& autoRuns) {
    std::wstring exePath;
    FILETIME created = {};
    std::vector<size_t> matched = MatchModules(processId, m_lowerModules, exePath, created);
    int added = 0;
    for (size_t module : matched) {
        if (m_taken[module]) continue;
        AddRecord(module, processId, exePath.c_str(), created, autoRuns);
        ++added;
    }
    return added;
}

void CModuleCensus::AddRecord(size_t module, DWORD processId, const wchar_t* exePath,
                              const FILETIME& created, const CAutoRunLookup& autoRuns) {
    CListItemState record = {};
    FillRecordPath(exePath, record.m_szPath);
    record.m_bVisible = IsVisible(processId) ? TRUE : FALSE;
    std::wstring description = DescriptionOf(exePath);
    if (description.empty()) description = LoadResString(IDS_DESCRIPTION_ABSENT);
    CopyBounded(record.m_szDescription, description, kDescriptionKeep - 1);
    record.m_dwProcessId = processId;
    FindAutoRun(exePath, autoRuns, record.m_autoRun);
    record.m_bSameFolder = SharesModuleFolder(module, exePath) ? TRUE : FALSE;
    record.m_ftCreated = created;
    ApplyAlertLevel(record);
    m_records[module].push_back(record);
}

bool CModuleCensus::IsVisible(DWORD processId) const {
    if (!m_bOwnersRead) return HasVisibleWindow(processId);
    return std::binary_search(m_visibleOwners.begin(), m_visibleOwners.end(), processId);
}

std::wstring CModuleCensus::DescriptionOf(const wchar_t* exePath) {
    std::wstring key = LowerCase(exePath);
    auto known = m_descriptions.find(key);
    if (known != m_descriptions.end()) return known->second;
    std::wstring description = GetFileDescription(exePath);
    m_descriptions[key] = description;
    return description;
}

void CModuleCensus::FindAutoRun(const wchar_t* exePath, const CAutoRunLookup& autoRuns, CAutoRunInfo& found) {
    // A lone probe may come with another inventory: only a walk keeps them.
    if (!m_bOwnersRead) {
        autoRuns.Find(exePath, found);
        return;
    }
    std::wstring key = LowerCase(exePath);
    auto known = m_autoRuns.find(key);
    if (known != m_autoRuns.end()) {
        found = known->second;
        return;
    }
    autoRuns.Find(exePath, found);
    m_autoRuns[key] = found;
}

bool CModuleCensus::SharesModuleFolder(size_t module, const wchar_t* exePath) {
    std::pair<size_t, std::wstring> key(module, LowerCase(exePath));
    auto known = m_sharedFolders.find(key);
    if (known != m_sharedFolders.end()) return known->second;
    bool shares =
        SharesFolderOfLongPaths(WithLongFolderOnce(m_modules[module].c_str()), WithLongFolderOnce(exePath));
    m_sharedFolders[key] = shares;
    return shares;
}

std::wstring CModuleCensus::WithLongFolderOnce(const wchar_t* path) {
    std::wstring folder = FolderPartOf(path);
    std::wstring key = LowerCase(folder.c_str());
    auto known = m_longFolders.find(key);
    if (known == m_longFolders.end()) known = m_longFolders.emplace(std::move(key), LongPathOf(folder.c_str())).first;
    return WithLongFolder(path, known->second);
}

void TakeCensusWithAutoRuns(CModuleCensus& census, const std::vector<TakenModule>& taken) {
    for (const TakenModule& module : taken) census.AddTakenModule(module);
    census.Take(CollectAutoRunsWithCom());
}
