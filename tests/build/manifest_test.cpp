// Reads the application manifest back out of each built program.
#include "test_support.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::string ManifestOf(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return std::string();
    std::string text;
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    if (data) text.assign(static_cast<const char*>(LockResource(data)), SizeofResource(module, info));
    FreeLibrary(module);
    return text;
}

TEST(ShippedManifest, ConfigureToolAsksForHighestAvailableWithoutUiAccess) {
    std::string manifest = ManifestOf(BinDir() + "veyrith_configure.exe");
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("level=\"highestAvailable\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
}

TEST(ShippedManifest, ScannersRunWithTheUsersOwnRights) {
    // Raised rights would make a scanner blind: the window manager does not
    // map a hook DLL from a normal process into an elevated one.
    for (const char* program : {"veyrith.exe", "veyrith_scan.exe"}) {
        SCOPED_TRACE(program);
        std::string manifest = ManifestOf(BinDir() + program);
        ASSERT_FALSE(manifest.empty());
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
        EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    }
}

TEST(ShippedManifest, InstallerProgramsAskForAdministratorAndCommonControls6) {
    for (const char* program : {"setup.exe", "uninstall.exe"}) {
        SCOPED_TRACE(program);
        std::string manifest = ManifestOf(BinDir() + program);
        ASSERT_FALSE(manifest.empty());
        EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
        EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
                  std::string::npos);
    }
}

}  // namespace
