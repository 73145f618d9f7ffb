// Import hooks: one exported function replaced in the import tables of the
// modules of the own process, so that calls through those tables reach the
// program's own code first.
//
// Modules are loaded, and so fixed up, on any thread. The chain of hooks and
// every hook's list of patched entries are read and changed only under the
// detection lock (detection_lock.h); installing and removing a hook are safe
// while other threads load.
#pragma once

#include <windows.h>

#include <vector>

class CImportHook {
public:
    // Installs the hook in every module of the own process (except the one
    // that holds the hook code when excludeOwnModule is set).
    CImportHook(const char* moduleName, const char* functionName, void* replacement,
                BOOL excludeOwnModule);
    // Leaves the chain and puts back what every patched import entry held
    // before, as one step under the detection lock.
    ~CImportHook();
    CImportHook(const CImportHook&) = delete;
    CImportHook& operator=(const CImportHook&) = delete;

    // The exporting module's address of the function (after a push thunk).
    void* RealAddress() const { return m_pRealAddress; }
    // The same function's address in kernelbase.dll, where that module
    // exists and exports it; null otherwise.
    void* AliasAddress() const { return m_pAliasAddress; }
    // The code that really does the work: the kernelbase address when there
    // is one (the kernel32 export may only jump through kernel32's own,
    // patched import table), else the real address.
    void* CallTarget() const { return m_pAliasAddress ? m_pAliasAddress : m_pRealAddress; }
    void* Replacement() const { return m_pReplacement; }
    const char* FunctionName() const { return m_pszFunctionName; }

    // True when addr is one of the function's own addresses.
    bool Matches(const void* addr) const;

    // Patches one module's import table: every entry that holds one of the
    // function's addresses gets the replacement. Returns the count patched.
    // The caller keeps the module loaded meanwhile.
    int ReplaceInOneModule(HMODULE module);
    // Patches every module of the own process (minus the excluded one).
    int ReplaceInAllModules();

    // How many import entries this hook remembers to put back. An entry
    // patched again (its module was unloaded and loaded at the same place)
    // is remembered once.
    int PatchedEntryCount() const;

    // The newest hook of the program-wide chain; null when there is none.
    // The links are stable only while no hook is being installed or removed.
    static CImportHook* Head() { return s_pHead; }
    CImportHook* Next() const { return m_pNext; }

    // The replacement of the hooked function whose real or alias address is
    // addr; null when no hook in the chain has that address.
    static void* ReplacementFor(const void* addr);

    // Applies every hook of the chain, newest first, to a module that has
    // just been loaded. Nothing happens for a null handle, a data-file load
    // (flag 0x2) or a handle that is no module base (the tagged handles of
    // resource-only mappings). Returns true when the module was fixed up.
    static bool FixUpNewModule(HMODULE module, DWORD loadFlags);

    // The highest address of the application's part of the address space,
    // read once on the first hook installation.
    static ULONG_PTR HighestApplicationAddress() { return s_highestAppAddress; }

    // The module that holds the hook code (the allocation base of its region).
    static HMODULE HookCodeModule();

private:
    struct PatchedEntry {
        void** slot;
        void* original;
    };

    static void NoteHighestApplicationAddress();
    void Link();
    void* PatchTarget(void** slot, void** held) const;
    int ReplaceInMappedImage(BYTE* base, HMODULE excluded);
    // The four below run under the detection lock.
    int PatchImports(HMODULE module);
    void Remember(void** slot, void* original);
    void RestoreAll();
    void Unlink();

    CImportHook* m_pNext = nullptr;
    const char* m_pszModuleName = nullptr;
    const char* m_pszFunctionName = nullptr;
    void* m_pRealAddress = nullptr;
    void* m_pAliasAddress = nullptr;
    void* m_pReplacement = nullptr;
    BOOL m_bExcludeOwnModule = FALSE;
    std::vector<PatchedEntry> m_patched;

    static CImportHook* s_pHead;
    static ULONG_PTR s_highestAppAddress;
};
