// Hook modules that only look like the ones a scan leaves out are findings
// like any other: a module named like the self-test's in another folder,
// and modules whose folders or names merely contain a left-out name. The
// real self-test still confirms the scan and is never shown; a scanner
// whose own self-test module is missing is not confirmed by a look-alike
// (a copy of this program, run from a folder without that module).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../scanner/hook_host.h"
#include "frame_under_test.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// Set in the copy of this program that runs without the self-test module.
const char kChildVariable[] = "VEYRITH_LOOK_ALIKE_CHILD";

std::wstring LowerW(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The paths of the modules the scan found, lower-cased.
std::vector<std::wstring> FoundPaths(FrameUnderTest& frame) {
    std::vector<std::wstring> paths;
    for (int module = 0; module < frame.Result().Count(); ++module)
        paths.push_back(LowerW(frame.Result().Finding(module).path));
    return paths;
}

bool Lists(const std::vector<std::wstring>& texts, const std::string& path) {
    const std::wstring wanted = LowerW(Wide(path));
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::wstring& text) { return text.find(wanted) != std::wstring::npos; });
}

// One host of a copy of the sample module under folder\relativeDll.
struct LookAlike {
    std::string dll;
    HookHost host;
};

// Each of a kind of its own: where a refused module ends its hook chain in
// the scanning process, hooks of one kind would hide behind the newest.
bool StartLookAlike(const TempFolder& folder, const std::string& relativeDll, LookAlike& lookAlike,
                    const char* hookType = "keyboard") {
    std::string dll = folder.File(relativeDll);
    CreateDirectoryA(dll.substr(0, dll.rfind('\\')).c_str(), nullptr);
    lookAlike.dll = dll;
    return CopyFromBin("sample_hook.dll", dll) &&
           lookAlike.host.Start(BinDir() + "sample_hook_host.exe",
                                std::string("-hook ") + hookType + " -dll " + Quoted(dll));
}

TEST(LookAlike, EveryLookAlikeIsListedAndTheRealSelfTestStillConfirms) {
    if (GetEnvironmentVariableA(kChildVariable, nullptr, 0)) GTEST_SKIP();
    TempFolder folder;
    const char* const names[] = {"elsewhere\\veyrith_selftest.dll", "msctf.dll.d\\hook.dll",
                                 "themes\\myuxtheme.dll", "veyrith.exe.d\\hook.dll"};
    std::vector<std::unique_ptr<LookAlike>> lookAlikes;
    const char* const types[] = {"keyboard", "getmessage", "callwndproc", "cbt"};
    for (size_t i = 0; i < 4; ++i) {
        lookAlikes.emplace_back(new LookAlike);
        ASSERT_TRUE(StartLookAlike(folder, names[i], *lookAlikes.back(), types[i])) << names[i];
    }
    FrameUnderTest frame(App());
    ASSERT_TRUE(frame.Create());
    ASSERT_TRUE(frame.RunScan());
    EXPECT_EQ(LoadResString(IDS_SCANNING_COMPLETE), frame->Parts().statusBar.PaneText(0));
    std::vector<std::wstring> texts = FoundPaths(frame);
    for (const auto& lookAlike : lookAlikes) EXPECT_TRUE(Lists(texts, lookAlike->dll)) << lookAlike->dll;
    EXPECT_FALSE(Lists(texts, BinDir() + "veyrith_selftest.dll"));
}

// Run by the test below, in a folder that has the self-test's host but not
// its module: the look-alike is found, and the scan is not confirmed.
TEST(LookAlike, WithoutTheSelfTestModuleALookAlikeConfirmsNothing) {
    if (!GetEnvironmentVariableA(kChildVariable, nullptr, 0)) GTEST_SKIP();
    TempFolder folder;
    LookAlike lookAlike;
    ASSERT_TRUE(StartLookAlike(folder, "other\\veyrith_selftest.dll", lookAlike));
    FrameUnderTest frame(App());
    ASSERT_TRUE(frame.Create());
    ASSERT_TRUE(frame.RunScan());
    EXPECT_EQ(LoadResString(IDS_SCAN_UNCONFIRMED), frame->Parts().statusBar.PaneText(0));
    EXPECT_TRUE(Lists(FoundPaths(frame), lookAlike.dll));
}

TEST(LookAlike, ACopyWithoutTheSelfTestModuleEndsUnconfirmed) {
    if (GetEnvironmentVariableA(kChildVariable, nullptr, 0)) GTEST_SKIP();
    TempFolder program;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (const char* file : {"veyrith_selftest.exe", "sample_hook.dll", "sample_hook_host.exe"})
        ASSERT_TRUE(CopyFromBin(file, program.File(file))) << file;
    const std::string copy = program.File("look_alike_copy.exe");
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    SetEnvironmentVariableA(kChildVariable, "1");
    DWORD exitCode = RunToEnd(Quoted(copy) + " --gtest_filter=LookAlike.WithoutTheSelfTestModule*", 120000);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    EXPECT_EQ(0u, exitCode);
}

}  // namespace
