#include "census/scan_result.h"

#include <utility>

#include "resources/resource.h"

void CScanResult::Clear() {
    m_modules.clear();
    m_bSelectFirst = false;
    m_bConfirmed = false;
    m_nReasonId = 0;
    m_stagesNotRun = 0;
    m_nSelfTestProblemId = 0;
}

int CScanResult::Add(const CModuleFinding& finding,
                     std::shared_ptr<const std::vector<CListItemState>> companionHosts) {
    Module module;
    module.finding = finding;
    module.companionHosts = std::move(companionHosts);
    m_modules.push_back(std::move(module));
    return Count() - 1;
}

void CScanResult::SetFound(const DetectedModules& detected, const std::vector<TakenModule>& modules64) {
    std::vector<Module> before;
    before.swap(m_modules);
    // A module that the companion found is its finding, with the records of
    // its 64-bit hosts, even where this side was asked for it too (a 32-bit
    // window manager may ask for a 64-bit module it then could not load).
    for (const RequestedModule& requested : detected.modules) {
        bool found64 = false;
        for (const TakenModule& module : modules64)
            found64 = found64 || !lstrcmpiW(requested.name.c_str(), module.module.c_str());
        if (!found64) Add(CModuleFinding{requested.name, 32, requested.stages});
    }
    for (const TakenModule& module : modules64) Add(CModuleFinding{module.module, 64, module.stages}, module.records);
    m_bSelectFirst = detected.selectFirst && !detected.modules.empty();
    // A module that stays keeps the census it had.
    for (Module& module : m_modules) {
        for (Module& old : before) {
            if (old.censused && old.finding.bits == module.finding.bits && old.finding.path == module.finding.path) {
                module.censused = true;
                module.hosts = std::move(old.hosts);
                old.censused = false;
                break;
            }
        }
    }
}

int CScanResult::Find(const std::wstring& path) const {
    for (int i = 0; i < Count(); ++i) {
        if (lstrcmpiW(m_modules[static_cast<size_t>(i)].finding.path.c_str(), path.c_str()) == 0) return i;
    }
    return -1;
}

std::vector<std::wstring> CScanResult::CensusModules() const {
    std::vector<std::wstring> paths;
    for (const Module& module : m_modules) {
        if (!module.finding.Is64Bit()) paths.push_back(module.finding.path);
    }
    return paths;
}

std::vector<TakenModule> CScanResult::TakenModules() const {
    std::vector<TakenModule> taken;
    for (const Module& module : m_modules) {
        if (!module.finding.Is64Bit()) continue;
        auto records = module.companionHosts ? module.companionHosts
                                             : std::make_shared<const std::vector<CListItemState>>();
        taken.push_back(TakenModule{module.finding.path, records});
    }
    return taken;
}

void CScanResult::TakeCensus(const CModuleCensus& census) {
    for (Module& module : m_modules) {
        const std::vector<CListItemState>* records = census.Find(module.finding.path.c_str());
        if (!records) continue;
        module.hosts = *records;
        module.censused = true;
    }
}

void CScanResult::DropCensus() {
    for (Module& module : m_modules) {
        module.censused = false;
        module.hosts.clear();
    }
}

void CScanResult::SetVerdict(bool confirmed, UINT reasonId) {
    m_bConfirmed = confirmed;
    m_nReasonId = confirmed ? 0 : reasonId;
}

UINT CScanResult::VerdictTextId() const {
    if (m_bConfirmed) return IDS_SCANNING_COMPLETE;
    return m_nReasonId ? m_nReasonId : IDS_SCAN_UNCONFIRMED;
}
