// A scanner that cannot see system-wide hooks on its system: with recording
// switched off, a scan that finds nothing ends with the warning, never with
// the nothing-found result. Its own program, since a self-test recorded
// once stays recorded for the life of the process.
#include <gtest/gtest.h>

#include <windows.h>

#include "frame_under_test.h"
#include "common/string_resource.h"
#include "resources/resource.h"
#include "scanner/module_detection.h"
#include "self_test_processes.h"

namespace {

TEST(BlindScan, EndsWithTheWarningAndClosingEndsTheSelfTest) {
    SetDetectionEnabled(false);
    {
        FrameUnderTest frame(App());
        ASSERT_TRUE(frame.Create());
        ASSERT_TRUE(frame.RunScan());
        EXPECT_EQ(frame->Parts().statusBar.PaneText(0), LoadResString(IDS_SCAN_UNCONFIRMED));
        EXPECT_EQ(frame->Parts().infoView.RequestedPage(), "HTML_SCAN_UNCONFIRMED");
        EXPECT_NE(frame->Parts().statusBar.PaneText(0), L"Scanning complete");
        EXPECT_TRUE(NoSelfTestHostsWithin(5000));

        // A scan ended by closing the window takes its self-test with it.
        frame.Command(ID_SCAN);
        ASSERT_TRUE(frame.PumpUntil(10000, [&] { return frame->Session().IsRunning() && CountSelfTestHosts() > 0; }));
        PostMessageA(frame.Handle(), kCloseRequestMessage, 0, 0);
        EXPECT_TRUE(frame.PumpUntil(10000, [&] { return !frame.Exists(); }));
        EXPECT_TRUE(NoSelfTestHostsWithin(5000));
        TakeQuitMessage();
    }
    SetDetectionEnabled(true);
}

}  // namespace
