// The stages end to end: one host per kind of global hook, each with its own
// copy of the sample module, and one run of every stage here. Each module
// is asked for by the stages that reach its kind, told by its facts, and
// none is ever mapped into this process.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "hook_host.h"
#include "scanner/loader_hooks.h"
#include "scanner/module_snapshot.h"
#include "scanner/provocation.h"
#include "scanner/watch_facts.h"
#include "test_support.h"

using namespace testing_support;

namespace {

struct HookKind {
    const char* type;
    WatchFacts facts;
};

// Every kind that Wine's window manager calls in a process of another
// program; foreground-idle hooks it never calls (the idle stage still runs).
const HookKind kKinds[] = {
    {"keyboard", WATCH_KEYSTROKES},
    {"getmessage", WATCH_KEYSTROKES | WATCH_MOUSE},
    {"callwndproc", WATCH_WINDOWS},
    {"callwndprocret", WATCH_WINDOWS},
    {"cbt", WATCH_WINDOWS},
    {"shell", WATCH_WINDOWS},
    {"mouse", WATCH_MOUSE},
    {"msgfilter", WATCH_OTHER},
    {"sysmsgfilter", WATCH_OTHER},
};

const RequestedModule* FindRequested(const std::vector<RequestedModule>& requested, const std::string& dll) {
    for (const RequestedModule& module : requested) {
        if (module.name == Wide(Lower(dll))) return &module;
    }
    return nullptr;
}

TEST(Stages, EveryKindOfHookIsAskedForByItsStagesAndNeverMappedHere) {
    TempFolder folder;
    std::vector<std::unique_ptr<HookHost>> hosts;
    std::vector<std::string> dlls;
    for (const HookKind& kind : kKinds) {
        std::string dll = folder.File(std::string(kind.type) + "_monitor.dll");
        ASSERT_TRUE(CopyFromBin("sample_hook.dll", dll));
        hosts.emplace_back(new HookHost);
        ASSERT_TRUE(hosts.back()->Start(BinDir() + "sample_hook_host.exe",
                                        std::string("-hook ") + kind.type + " -dll " + Quoted(dll)))
            << kind.type;
        dlls.push_back(dll);
    }
    g_hookRequests.Clear();
    CProvocation provocation(GetModuleHandleW(nullptr));
    ASSERT_NE(nullptr, provocation.Window());
    EXPECT_EQ(0u, provocation.RunStages()) << "a stage could not run";

    std::vector<RequestedModule> requested = g_hookRequests.Copy();
    for (size_t i = 0; i < dlls.size(); ++i) {
        const RequestedModule* module = FindRequested(requested, dlls[i]);
        ASSERT_NE(nullptr, module) << kKinds[i].type << " was never asked for";
        EXPECT_EQ(kKinds[i].facts, WatchFactsOf(module->stages))
            << kKinds[i].type << " was asked for in stages " << module->stages;
        EXPECT_GE(module->requests, 1u);
    }
    EXPECT_GE(g_hookRequests.RefusedCount(), dlls.size());
    printf("refused requests in one run of the stages: %lu\n", g_hookRequests.RefusedCount());

    std::vector<std::wstring> loaded;
    ASSERT_TRUE(ReadProcessModules(GetCurrentProcessId(), loaded));
    for (const std::wstring& path : loaded) {
        for (const std::string& dll : dlls) EXPECT_NE(Wide(Lower(dll)), Lower(path)) << "mapped here";
    }
    for (auto& host : hosts) EXPECT_TRUE(host->Stop());
}

}  // namespace
