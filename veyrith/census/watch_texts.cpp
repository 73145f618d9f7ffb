#include "census/watch_texts.h"

#include <algorithm>

#include "common/string_resource.h"
#include "resources/resource.h"

namespace {

void AppendListed(std::wstring& list, const std::wstring& word) {
    if (!list.empty()) list += LoadResString(IDS_WATCH_LIST_SEPARATOR);
    list += word;
}

}  // namespace

std::wstring WatchFactsText(WatchFacts facts) {
    std::wstring text;
    for (WatchFact fact : kWatchFacts) {
        if (facts & fact) AppendListed(text, LoadResString(WatchFactTextId(fact)));
    }
    return text;
}

std::wstring StageNamesText(StageSet stages) {
    std::wstring text;
    for (int stage = 0; stage < kStageCount; ++stage) {
        if (stages & StageBit(stage)) AppendListed(text, LoadResString(StageTextId(stage)));
    }
    return text;
}

std::wstring StagesNotRunText(StageSet stages) {
    std::wstring names = StageNamesText(stages);
    if (names.empty()) return names;
    std::wstring text = LoadResString(IDS_STAGES_NOT_RUN);
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, names);
    return text;
}

std::wstring ScanEndStatusText(const CScanResult& result) {
    // The stages' sentence is the verdict's own text when they are its
    // reason; any other reason (the companion's failure) is told as it is.
    if (result.ReasonId() == IDS_STAGES_NOT_RUN || (result.Confirmed() && result.StagesNotRun()))
        return StagesNotRunText(result.StagesNotRun());
    return LoadResString(result.VerdictTextId());
}

bool IsHiddenAutoRun(const CListItemState& host) { return !host.m_bVisible && host.m_autoRun.m_nType != 0; }

bool ShowsClassicKeylogger(const CScanResult& result, int module, DWORD excludedProcessId) {
    if (!result.IsModule(module) || !result.Finding(module).ReadsKeystrokes()) return false;
    const std::vector<CListItemState>& hosts = result.Hosts(module);
    return std::any_of(hosts.begin(), hosts.end(), [&](const CListItemState& host) {
        return host.m_dwProcessId != excludedProcessId && IsHiddenAutoRun(host);
    });
}

std::vector<int> ModulesInShownOrder(const CScanResult& result) {
    std::vector<int> order;
    for (int module = 0; module < result.Count(); ++module) order.push_back(module);
    std::stable_partition(order.begin(), order.end(),
                          [&](int module) { return result.Finding(module).ReadsKeystrokes(); });
    return order;
}
