// The module snapshot against the per-module walk it replaces, on real hosts
// of the sample module: one loads it from the build's folder, one from a
// folder whose path is longer than the snapshot's path field.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "hook_host.h"
#include "scanner/module_snapshot.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// A copy of the sample module in a chain of folders below folder, the whole
// path longer than MAX_PATH; empty when it cannot be made.
std::wstring DeepModuleCopy(std::wstring folder) {
    while (folder.size() < MAX_PATH + 20) {
        folder += std::wstring(60, L'd') + L"\\";
        if (!CreateDirectoryW(folder.c_str(), nullptr)) return std::wstring();
    }
    std::wstring module = folder + L"deep_monitor.dll";
    return CopyFromBin("sample_hook.dll", module) ? module : std::wstring();
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool Contains(const std::vector<std::wstring>& paths, const std::wstring& wanted) {
    for (const std::wstring& path : paths)
        if (Lower(path) == Lower(wanted)) return true;
    return false;
}

}  // namespace

TEST(ModuleSnapshot, FindsTheSameModulePathsAsThePerModuleWalk) {
    TempFolder temp;
    const std::wstring deepModule = DeepModuleCopy(Wide(temp.Path()));
    ASSERT_FALSE(deepModule.empty());
    const std::wstring modules[] = {Wide(BinDir() + "sample_hook.dll"), deepModule};
    std::vector<std::unique_ptr<HookHost>> hosts;
    for (const std::wstring& module : modules) {
        hosts.emplace_back(new HookHost);
        ASSERT_TRUE(hosts.back()->Start(Wide(BinDir() + "sample_hook_host.exe"), L"-hook none -dll " + Quoted(module)));
    }
    for (size_t i = 0; i < hosts.size(); ++i) {
        std::vector<std::wstring> snapshot, oneByOne;
        ASSERT_TRUE(ReadProcessModules(hosts[i]->Id(), snapshot));
        ASSERT_TRUE(ReadProcessModulesOneByOne(hosts[i]->Id(), oneByOne));
        EXPECT_EQ(Sorted(oneByOne), Sorted(snapshot));
        EXPECT_EQ(oneByOne.front(), snapshot.front()) << "the executable comes first";
        EXPECT_TRUE(Contains(snapshot, modules[i])) << "whole, however long";
    }
}
