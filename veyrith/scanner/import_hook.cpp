#include "scanner/import_hook.h"

#include "common/owners.h"
#include "scanner/detection_lock.h"

CImportHook* CImportHook::s_pHead = nullptr;
ULONG_PTR CImportHook::s_highestAppAddress = 0;

namespace {

constexpr BYTE kPushOpcode = 0x68;

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
// push leads to is the imm32. Null when addr is no such thunk. Such thunks
// exist only for 32-bit code: a 64-bit push cannot carry a whole address.
void* PushThunkTarget(const void* addr) {
    if (sizeof(void*) != sizeof(DWORD)) return nullptr;
    if (reinterpret_cast<ULONG_PTR>(addr) <= CImportHook::HighestApplicationAddress()) return nullptr;
    BYTE code[1 + sizeof(DWORD)];
    if (!ReadOwn(addr, code, sizeof(code)) || code[0] != kPushOpcode) return nullptr;
    DWORD target;
    memcpy(&target, code + 1, sizeof(target));
    return reinterpret_cast<void*>(static_cast<ULONG_PTR>(target));
}

void* ExportedAddress(const char* moduleName, const char* functionName) {
    HMODULE module = GetModuleHandleA(moduleName);
    if (!module) return nullptr;
    void* addr = reinterpret_cast<void*>(GetProcAddress(module, functionName));
    void* target = addr ? PushThunkTarget(addr) : nullptr;
    return target ? target : addr;
}

// The import descriptors of a loaded module, read from its own headers (no
// call into another library, so nothing here can wait for the loader).
// Null when the module imports nothing.
PIMAGE_IMPORT_DESCRIPTOR ImportDescriptors(HMODULE module) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    if (nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT) return nullptr;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0) return nullptr;
    return reinterpret_cast<PIMAGE_IMPORT_DESCRIPTOR>(base + dir.VirtualAddress);
}

// The start of the next image mapping at or above *cursor; *cursor moves past
// the region examined last. Null when the address space holds no more.
// The modules are found by walking the address space rather than the
// loader's list, which other threads change while it is read.
BYTE* NextImageBase(BYTE** cursor) {
    MEMORY_BASIC_INFORMATION info = {};
    while (VirtualQuery(*cursor, &info, sizeof(info)) == sizeof(info)) {
        BYTE* start = static_cast<BYTE*>(info.BaseAddress);
        BYTE* end = start + info.RegionSize;
        if (end <= *cursor) return nullptr;
        *cursor = end;
        if (info.Type == MEM_IMAGE && info.BaseAddress == info.AllocationBase) return start;
    }
    return nullptr;
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
    m_pszModuleName = moduleName;
    m_pszFunctionName = functionName;
    m_pReplacement = replacement;
    m_bExcludeOwnModule = excludeOwnModule;
    NoteHighestApplicationAddress();
    // Looking the addresses up asks the loader, so it happens outside the lock.
    m_pRealAddress = ExportedAddress(moduleName, functionName);
    m_pAliasAddress = ExportedAddress("kernelbase.dll", functionName);
    if (m_pAliasAddress == m_pRealAddress) m_pAliasAddress = nullptr;
    // In the chain first: a module that another thread loads from now on is
    // fixed up by this hook as well, whether or not the walk below sees it.
    Link();
    ReplaceInAllModules();
}

void CImportHook::NoteHighestApplicationAddress() {
    CDetectionLock lock;
    if (s_highestAppAddress != 0) return;
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    s_highestAppAddress = reinterpret_cast<ULONG_PTR>(info.lpMaximumApplicationAddress);
}

void CImportHook::Link() {
    CDetectionLock lock;
    m_pNext = s_pHead;
    s_pHead = this;
}

CImportHook::~CImportHook() {
    CDetectionLock lock;
    Unlink();
    RestoreAll();
}

void CImportHook::RestoreAll() {
    for (const PatchedEntry& entry : m_patched) {
        void* current = nullptr;
        if (ReadOwn(entry.slot, &current, sizeof(current)) && current == m_pReplacement)
            WriteOwn(entry.slot, &entry.original, sizeof(entry.original));
    }
    m_patched.clear();
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

// A slot patched before belongs to a module that was unloaded and loaded
// again at the same place: its entry is brought up to date, not added again.
void CImportHook::Remember(void** slot, void* original) {
    for (PatchedEntry& entry : m_patched) {
        if (entry.slot == slot) {
            entry.original = original;
            return;
        }
    }
    m_patched.push_back({slot, original});
}

int CImportHook::PatchImports(HMODULE module) {
    if (!module || !m_pRealAddress) return 0;
    PIMAGE_IMPORT_DESCRIPTOR descriptor = ImportDescriptors(module);
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
            Remember(static_cast<void**>(target), original);
            ++patched;
        }
    }
    return patched;
}

int CImportHook::ReplaceInOneModule(HMODULE module) {
    CDetectionLock lock;
    return PatchImports(module);
}

int CImportHook::PatchedEntryCount() const {
    CDetectionLock lock;
    return static_cast<int>(m_patched.size());
}

// Patches the module mapped at base unless it is the excluded one. A
// reference keeps the module loaded while its imports are patched: another
// thread may free it meanwhile. Taking and dropping the reference asks the
// loader, so both happen outside the detection lock.
int CImportHook::ReplaceInMappedImage(BYTE* base, HMODULE excluded) {
    if (reinterpret_cast<HMODULE>(base) == excluded) return 0;
    CLibrary module;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(base),
                            module.Receive()))
        return 0;  // an image mapped as a resource, or a module unloaded meanwhile
    return module.Get() == excluded ? 0 : ReplaceInOneModule(module.Get());
}

int CImportHook::ReplaceInAllModules() {
    HMODULE excluded = m_bExcludeOwnModule ? HookCodeModule() : nullptr;
    BYTE* cursor = nullptr;
    int patched = 0;
    while (BYTE* base = NextImageBase(&cursor)) patched += ReplaceInMappedImage(base, excluded);
    return patched;
}

void* CImportHook::ReplacementFor(const void* addr) {
    CDetectionLock lock;
    for (CImportHook* hook = s_pHead; hook; hook = hook->m_pNext) {
        if (hook->Matches(addr)) return hook->m_pReplacement;
    }
    return nullptr;
}

bool CImportHook::FixUpNewModule(HMODULE module, DWORD loadFlags) {
    if (!module || (loadFlags & LOAD_LIBRARY_AS_DATAFILE)) return false;
    if (reinterpret_cast<ULONG_PTR>(module) & 3) return false;
    CDetectionLock lock;
    for (CImportHook* hook = s_pHead; hook; hook = hook->m_pNext) hook->PatchImports(module);
    return true;
}
