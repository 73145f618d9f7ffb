#include "probe64/probe_run.h"


#include "census/census.h"
#include "scanner/own_modules.h"
#include "scanner/provocation.h"

ProbeAnswer TakeProbeCensus(StageSet stagesNotRun) {
    ProbeAnswer answer;
    answer.selfTestSeen = IsSelfTestRecorded();
    answer.stagesNotRun = stagesNotRun;
    DetectedModules detected = CurrentDetectedModules();
    std::vector<std::wstring> names;
    for (const RequestedModule& module : detected.modules) names.push_back(module.name);
    CModuleCensus census(names);
    TakeCensusWithAutoRuns(census);
    // This process never has a module it recorded (each load was refused);
    // it ends right after its answer, so it is no host to show anyway.
    for (const RequestedModule& module : detected.modules) {
        ProbeModule found{module.name, {}, module.stages};
        for (const CListItemState& record : *census.Find(module.name.c_str())) {
            if (record.m_dwProcessId != GetCurrentProcessId()) found.records.push_back(record);
        }
        answer.modules.push_back(found);
    }
    return answer;
}
