#include "scanner/detection_lock.h"

#include <windows.h>

namespace {

// Both objects are constant- or zero-initialised, so they exist before any
// constructor of static storage runs, and neither has a destructor.
INIT_ONCE g_lockOnce = INIT_ONCE_STATIC_INIT;
CRITICAL_SECTION g_lock;

// The lock is held only for short memory work: spinning a little beats a
// trip into the kernel when two loads meet.
constexpr DWORD kSpinCount = 4000;

BOOL CALLBACK InitializeLock(PINIT_ONCE, PVOID, PVOID*) {
    return InitializeCriticalSectionAndSpinCount(&g_lock, kSpinCount);
}

CRITICAL_SECTION* Lock() {
    InitOnceExecuteOnce(&g_lockOnce, InitializeLock, nullptr, nullptr);
    return &g_lock;
}

}  // namespace

CDetectionLock::CDetectionLock() { EnterCriticalSection(Lock()); }

CDetectionLock::~CDetectionLock() { LeaveCriticalSection(&g_lock); }
