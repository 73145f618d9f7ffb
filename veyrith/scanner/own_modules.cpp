#include "scanner/own_modules.h"

#include "common/owners.h"
#include "scanner/loader_hooks.h"
#include "scanner/module_snapshot.h"
#include "scanner/self_test.h"

#include <windows.h>

bool GetOwnModuleNames(CSimpleStrArray& names) {
    std::vector<std::wstring> paths;
    if (!ReadProcessModules(GetCurrentProcessId(), paths)) return false;
    for (const std::wstring& path : paths) {
        if (!path.empty()) names.Add(path.c_str());
    }
    return true;
}

int ImageBits(const std::wstring& path) {
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return 0;
    IMAGE_DOS_HEADER dos = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), &dos, sizeof(dos), &read, nullptr) || read != sizeof(dos) ||
        dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0)
        return 0;
    if (SetFilePointer(file.Get(), dos.e_lfanew, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
    IMAGE_FILE_HEADER header = {};
    DWORD signature = 0;
    if (!ReadFile(file.Get(), &signature, sizeof(signature), &read, nullptr) || read != sizeof(signature) ||
        signature != IMAGE_NT_SIGNATURE || !ReadFile(file.Get(), &header, sizeof(header), &read, nullptr) ||
        read != sizeof(header))
        return 0;
    if (header.Machine == IMAGE_FILE_MACHINE_I386) return 32;
    if (header.Machine == IMAGE_FILE_MACHINE_AMD64) return 64;
    return 0;
}

DetectedModules ChooseDetectedModules(const std::vector<RequestedModule>& requested) {
    DetectedModules detected;
    constexpr int kOwnBits = sizeof(void*) * 8;
    for (const RequestedModule& module : requested) {
        // The self-test's module is the scan's own: it is never detected.
        if (IsSelfTestModule(module.name.c_str())) continue;
        // Some systems ask for a module of the other width too, which this
        // process could never load: the scan of that width finds it.
        int bits = ImageBits(module.name);
        if (bits && bits != kOwnBits) continue;
        detected.modules.push_back(module);
    }
    detected.selectFirst = !detected.modules.empty();
    return detected;
}

DetectedModules CurrentDetectedModules() { return ChooseDetectedModules(g_hookRequests.Copy()); }

bool IsSelfTestRecorded() {
    for (const RequestedModule& module : g_hookRequests.Copy()) {
        if (IsSelfTestModule(module.name.c_str())) return true;
    }
    return false;
}
