#include "scanner/hook_requests.h"

#include <new>

#include "scanner/detection_lock.h"
#include "scanner/module_detection.h"

namespace {

volatile LONG g_detectionEnabled = 1;

wchar_t Lowered(wchar_t c) {
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

// name is lower-cased already; request as the window manager gave it.
bool SameName(const std::wstring& name, LPCWSTR request) {
    size_t i = 0;
    for (; request[i]; ++i) {
        if (i >= name.size() || name[i] != Lowered(request[i])) return false;
    }
    return i == name.size();
}

std::wstring LowerCopy(LPCWSTR fileName) {
    std::wstring name(fileName);
    if (!name.empty()) CharLowerBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

}  // namespace

void SetDetectionEnabled(bool enabled) { InterlockedExchange(&g_detectionEnabled, enabled ? 1 : 0); }

StageSet CHookRequests::CurrentStageBit() const {
    LONG stage = m_stage;
    if (static_cast<DWORD>(m_stageThread) != GetCurrentThreadId()) return kOutsideStages;
    return stage >= 0 && stage < kStageCount ? StageBit(stage) : kOutsideStages;
}

RequestedModule* CHookRequests::Find(LPCWSTR fileName) {
    for (RequestedModule& module : m_modules) {
        if (SameName(module.name, fileName)) return &module;
    }
    return nullptr;
}

// A name asked for again is noted under the lock without allocating; only
// a new name is checked against the left-out modules (which asks the file
// system, so outside the lock) and copied.
bool CHookRequests::Request(LPCWSTR fileName) {
    if (!fileName || !*fileName || !g_detectionEnabled) return false;
    {
        CDetectionLock lock;
        if (RequestedModule* known = Find(fileName)) {
            known->stages |= CurrentStageBit();
            ++known->requests;
            InterlockedIncrement(&m_refused);
            return true;
        }
    }
    if (IsLeftOutModule(fileName)) return false;
    RequestedModule added;
    try {
        added.name = LowerCopy(fileName);
    } catch (const std::bad_alloc&) {
        // Unrecorded, but refused all the same: its code must not run here.
        InterlockedIncrement(&m_refused);
        return true;
    }
    CDetectionLock lock;
    RequestedModule* known = Find(fileName);
    try {
        if (!known) {
            m_modules.push_back(std::move(added));
            known = &m_modules.back();
        }
    } catch (const std::bad_alloc&) {
    }
    if (known) {
        known->stages |= CurrentStageBit();
        ++known->requests;
    }
    InterlockedIncrement(&m_refused);
    return true;
}

void CHookRequests::Clear() {
    std::vector<RequestedModule> gone;
    {
        CDetectionLock lock;
        gone.swap(m_modules);
        InterlockedExchange(&m_refused, 0);
    }
}

void CHookRequests::SetStage(int stage) {
    InterlockedExchange(&m_stage, -1);
    InterlockedExchange(&m_stageThread, static_cast<LONG>(GetCurrentThreadId()));
    InterlockedExchange(&m_stage, stage);
}

std::vector<RequestedModule> CHookRequests::Copy() const {
    CDetectionLock lock;
    try {
        return m_modules;
    } catch (const std::bad_alloc&) {
        return {};
    }
}
