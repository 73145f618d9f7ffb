// The start-up check of the Windows version, fed through the version seam,
// telling the application's desktop.
#include "fake_desktop.h"
#include "resources/resource.h"
#include "shell/veyrith_app.h"
#include "common/string_resource.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class VersionCheck : public ::testing::Test {
protected:

    static CVeyrithApp::VersionReader Reports(DWORD platform, DWORD major, DWORD minor) {
        return [=](OSVERSIONINFOA& version) {
            EXPECT_EQ(version.dwOSVersionInfoSize, 148u);
            version.dwPlatformId = platform;
            version.dwMajorVersion = major;
            version.dwMinorVersion = minor;
            return true;
        };
    }

    FakeDesktop desktop;
    std::vector<FakeDesktop::Box>& shown = desktop.boxes;
};

TEST_F(VersionCheck, OlderSystemsAreRefusedWithOneMessageAndNoMutex) {
    const std::string refusal = testing_support::Narrow(LoadResString(IDS_REQUIRES_WIN2000));
    ASSERT_EQ(refusal, "Sorry, but this program works only under Windows 2000 or higher.");
    struct { DWORD platform, major, minor; } older[] = {
        {VER_PLATFORM_WIN32_NT, 4, 0},       // NT 4
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10}, // 98
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90}, // Me
    };
    for (const auto& system : older) {
        shown.clear();
        CVeyrithApp app(desktop);
        app.SetVersionReader(Reports(system.platform, system.major, system.minor));
        EXPECT_FALSE(app.InitInstance());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, refusal);
        EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        // Refused before the single-instance mutex and before any window.
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Veyrith");
        EXPECT_EQ(mutex, nullptr);
        if (mutex) CloseHandle(mutex);
        EXPECT_EQ(app.MainWindow(), nullptr);
    }
}

TEST_F(VersionCheck, Windows2000AndLaterPass) {
    CVeyrithApp app(desktop);
    app.SetVersionReader(Reports(VER_PLATFORM_WIN32_NT, 5, 0));
    EXPECT_TRUE(app.CheckWindowsVersion());
    app.SetVersionReader(Reports(VER_PLATFORM_WIN32_NT, 10, 0));
    EXPECT_TRUE(app.CheckWindowsVersion());
    // The system's own answer (Wine reports a modern NT) passes too.
    CVeyrithApp real(desktop);
    EXPECT_TRUE(real.CheckWindowsVersion());
    EXPECT_TRUE(shown.empty());
}

}  // namespace
