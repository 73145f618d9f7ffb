#include "scanner/import_hook.h"

#include <imagehlp.h>
#include <psapi.h>

CImportHook* CImportHook::s_pHead = nullptr;
ULONG_PTR CImportHook::s_highestAppAddress = 0;

namespace {

constexpr BYTE kPushOpcode = 0x68;
constexpr DWORD kModuleListBytes = 4096;

// Reads memory of the own process without faulting on an unmapped address.
bool ReadOwn(const void* addr, void* out, SIZE_T size) {
    SIZE_T got = 0;
    return ReadProcessMemory(GetCurrentProcess(), addr, out, size, &got) && got == size;
}

bool WriteOwn(void* addr, const void* value, SIZE_T size) {
    SIZE_T done = 0;
    return WriteProcessMemory(GetCurrentProcess(), addr, value, size, &done) && done == size;
}

// Address above the application's range holding "push imm32": the code the
// push leads to is the imm32. Null when addr is no such thunk.
void* PushThunkTarget(const void* addr) {
    if (reinterpret_cast<ULONG_PTR>(addr) <= CImportHook::HighestApplicationAddress()) return nullptr;
    BYTE code[5];
    if (!ReadOwn(addr, code, sizeof(code)) || code[0] != kPushOpcode) return nullptr;
    void* target;
    memcpy(&target, code + 1, sizeof(target));
    return target;
}

void* ExportedAddress(const char* moduleName, const char* functionName) {
    HMODULE module = GetModuleHandleA(moduleName);
    if (!module) return nullptr;
    void* addr = reinterpret_cast<void*>(GetProcAddress(module, functionName));
    void* target = addr ? PushThunkTarget(addr) : nullptr;
    return target ? target : addr;
}

int ListOwnModules(HMODULE* modules) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                 GetCurrentProcessId());
    if (!process) return 0;
    DWORD needed = 0;
    BOOL ok = EnumProcessModules(process, modules, kModuleListBytes, &needed);
    CloseHandle(process);
    if (!ok) return 0;
    return static_cast<int>((needed < kModuleListBytes ? needed : kModuleListBytes) / sizeof(HMODULE));
}

}  // namespace

HMODULE CImportHook::HookCodeModule() {
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(reinterpret_cast<const void*>(&CImportHook::HookCodeModule), &info, sizeof(info)))
        return nullptr;
    return static_cast<HMODULE>(info.AllocationBase);
}

CImportHook::CImportHook(const char* moduleName, const char* functionName, void* replacement,
                         BOOL excludeOwnModule) {
    if (s_highestAppAddress == 0) {
        SYSTEM_INFO info = {};
        GetSystemInfo(&info);
        s_highestAppAddress = reinterpret_cast<ULONG_PTR>(info.lpMaximumApplicationAddress);
    }
    m_pNext = s_pHead;
    s_pHead = this;
    m_pszModuleName = moduleName;
    m_pszFunctionName = functionName;
    m_pReplacement = replacement;
    m_bExcludeOwnModule = excludeOwnModule;
    m_pRealAddress = ExportedAddress(moduleName, functionName);
    m_pAliasAddress = ExportedAddress("kernelbase.dll", functionName);
    if (m_pAliasAddress == m_pRealAddress) m_pAliasAddress = nullptr;
    ReplaceInAllModules();
}

CImportHook::~CImportHook() {
    for (const PatchedEntry& entry : m_patched) {
        void* current = nullptr;
        if (ReadOwn(entry.slot, &current, sizeof(current)) && current == m_pReplacement)
            WriteOwn(entry.slot, &entry.original, sizeof(entry.original));
    }
    m_patched.clear();
    Unlink();
}

void CImportHook::Unlink() {
    if (s_pHead == this) {
        s_pHead = m_pNext;
        return;
    }
    for (CImportHook* hook = s_pHead; hook; hook = hook->m_pNext) {
        if (hook->m_pNext == this) {
            hook->m_pNext = m_pNext;
            return;
        }
    }
}

bool CImportHook::Matches(const void* addr) const {
    return addr && (addr == m_pRealAddress || addr == m_pAliasAddress);
}

// The slot to patch for one import entry: the entry itself when it holds one
// of the function's addresses, the operand of a push thunk that leads to it,
// or null when the entry is some other function.
void* CImportHook::PatchTarget(void** slot, void** held) const {
    void* value = *slot;
    if (Matches(value)) {
        *held = value;
        return slot;
    }
    void* target = PushThunkTarget(value);
    if (!Matches(target)) return nullptr;
    *held = target;
    return static_cast<BYTE*>(value) + 1;
}

int CImportHook::ReplaceInOneModule(HMODULE module) {
    if (!module || !m_pRealAddress) return 0;
    ULONG size = 0;
    auto* descriptor = static_cast<PIMAGE_IMPORT_DESCRIPTOR>(
        ImageDirectoryEntryToData(module, TRUE, IMAGE_DIRECTORY_ENTRY_IMPORT, &size));
    if (!descriptor) return 0;
    BYTE* base = reinterpret_cast<BYTE*>(module);
    int patched = 0;
    for (; descriptor->Name != 0; ++descriptor) {
        if (descriptor->FirstThunk == 0) continue;
        void** slot = reinterpret_cast<void**>(base + descriptor->FirstThunk);
        for (; *slot != nullptr; ++slot) {
            void* original = nullptr;
            void* target = PatchTarget(slot, &original);
            if (!target || !WriteOwn(target, &m_pReplacement, sizeof(m_pReplacement))) continue;
            m_patched.push_back({static_cast<void**>(target), original});
            ++patched;
        }
    }
    return patched;
}

int CImportHook::ReplaceInAllModules() {
    HMODULE excluded = m_bExcludeOwnModule ? HookCodeModule() : nullptr;
    HMODULE modules[kModuleListBytes / sizeof(HMODULE)];
    int count = ListOwnModules(modules);
    int patched = 0;
    for (int i = 0; i < count; ++i) {
        if (modules[i] != excluded) patched += ReplaceInOneModule(modules[i]);
    }
    return patched;
}

void* CImportHook::ReplacementFor(const void* addr) {
    for (CImportHook* hook = s_pHead; hook; hook = hook->m_pNext) {
        if (hook->Matches(addr)) return hook->m_pReplacement;
    }
    return nullptr;
}

bool CImportHook::FixUpNewModule(HMODULE module, DWORD loadFlags) {
    if (!module || (loadFlags & LOAD_LIBRARY_AS_DATAFILE)) return false;
    if (reinterpret_cast<ULONG_PTR>(module) & 3) return false;
    for (CImportHook* hook = s_pHead; hook; hook = hook->m_pNext) hook->ReplaceInOneModule(module);
    return true;
}
