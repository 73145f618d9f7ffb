// The message loop: when the idle pass runs, and the order in which a
// message is offered to the program's filter, the web browser and the main
// window's accelerators.
#include "framework/application.h"
#include "framework/profile.h"
#include "framework/window.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr UINT kQuitTimer = 7;

class TargetWindow : public fw::Window {
public:
    std::vector<UINT> keys;      // virtual keys of WM_KEYDOWN that arrived
    std::vector<UINT> commands;  // WM_COMMAND ids that arrived
    std::vector<UINT> sources;   // their notification codes (1: accelerator)
    bool ticked = false;

    bool CreateTopLevel() { return Create(nullptr, L"target", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 200); }

protected:
    const wchar_t* ClassName() const override { return L"FrameworkTestTarget"; }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_KEYDOWN) keys.push_back(static_cast<UINT>(wParam));
        return fw::Window::OnMessage(msg, wParam, lParam);
    }
    bool OnCommand(UINT id, UINT code, HWND) override {
        commands.push_back(id);
        sources.push_back(code);
        return true;
    }
    bool OnTimer(UINT_PTR id) override {
        if (id != kQuitTimer) return false;
        KillTimer(id);
        ticked = true;
        return true;
    }
};

class FilteringApp : public fw::Application {
public:
    UINT swallowedKey = 0;
    std::vector<UINT> seen;

protected:
    bool PreFilter(MSG& msg) override {
        seen.push_back(msg.message);
        return msg.message == WM_KEYDOWN && msg.wParam == swallowedKey;
    }
};

// Runs the real loop: the first idle pass posts the given messages and
// starts a timer; the first idle pass after its tick ends the loop. Returns
// the number of idle passes.
int IdlePassesAround(const std::vector<UINT>& messages) {
    fw::Application app;
    TargetWindow window;
    EXPECT_TRUE(window.CreateTopLevel());
    fw::Application::Current()->PumpWaiting();
    int passes = 0;
    app.AddIdleHandler([&] {
        ++passes;
        if (window.ticked) PostQuitMessage(3);
        if (passes != 1) return;
        for (UINT msg : messages) PostMessageA(window.Handle(), msg, 0, 0);
        SetTimer(window.Handle(), kQuitTimer, 100, nullptr);
    });
    EXPECT_EQ(app.Run(), 3);
    return passes;
}

TEST(MessageLoop, IdlePassFollowsOnlyMessagesThatChangeState) {
    // Mouse moves, paints and 0x0118 cause no idle pass: one pass at the
    // start, one after the timer tick.
    EXPECT_EQ(IdlePassesAround({WM_MOUSEMOVE, WM_MOUSEMOVE, 0x0118}), 2);
    // Any other message does.
    EXPECT_EQ(IdlePassesAround({WM_MOUSEMOVE, WM_APP}), 3);
}

TEST(MessageLoop, FiltersComeBeforeTheAccelerators) {
    FilteringApp app;
    TargetWindow window;
    ASSERT_TRUE(window.CreateTopLevel());
    ACCEL keys[] = {{FVIRTKEY, VK_F5, 501}, {FVIRTKEY, VK_F2, 502}, {FVIRTKEY, VK_F6, 503}};
    HACCEL table = CreateAcceleratorTableA(keys, 3);
    app.SetMainWindow(window.Handle());
    app.SetAccelerators(table);
    app.swallowedKey = VK_F2;
    int browserCalls = 0;
    app.SetBrowserFilter([&](MSG& msg) {
        ++browserCalls;
        return msg.message == WM_KEYDOWN && msg.wParam == VK_F6;
    });
    app.PumpWaiting();
    window.commands.clear();

    PostMessageA(window.Handle(), WM_KEYDOWN, VK_F5, 0x00010001);
    PostMessageA(window.Handle(), WM_KEYDOWN, VK_F2, 0x00010001);
    PostMessageA(window.Handle(), WM_KEYDOWN, VK_F6, 0x00010001);
    PostMessageA(window.Handle(), WM_KEYDOWN, 'A', 0x00010001);
    app.PumpWaiting();

    // F5 became the accelerator's command; F2 was taken by the program's
    // filter and F6 by the browser's, so neither reached the accelerators;
    // A is no accelerator and arrives as a key.
    ASSERT_EQ(window.commands, std::vector<UINT>({501}));
    EXPECT_EQ(window.sources.front(), 1u);
    EXPECT_EQ(window.keys, std::vector<UINT>({'A'}));
    EXPECT_GE(browserCalls, 3);
    DestroyAcceleratorTable(table);
}

TEST(Profile, BinaryValuesGoUnderTheProgramKey) {
    fw::Application app;
    fw::SetProgramKey(std::wstring());
    const unsigned char data[] = {1, 2, 3, 0, 5, 6};
    EXPECT_FALSE(fw::WriteProfileBinary(L"Sample", data, sizeof(data)));

    app.SetRegistryKey(L"Tarnwick");
    const char* key = "Software\\Tarnwick\\Framework Test";
    EXPECT_EQ(fw::ProgramKey(), L"Software\\Tarnwick\\Framework Test");
    testing_support::DeleteKeyTree(HKEY_CURRENT_USER, key);
    ASSERT_TRUE(fw::WriteProfileBinary(L"Sample", data, sizeof(data)));
    EXPECT_EQ(testing_support::ReadBinaryValue(HKEY_CURRENT_USER, key, "Sample"),
              std::vector<unsigned char>(data, data + sizeof(data)));
    // A shorter value replaces the longer one completely.
    ASSERT_TRUE(fw::WriteProfileBinary(L"Sample", data, 2));
    EXPECT_EQ(testing_support::ReadBinaryValue(HKEY_CURRENT_USER, key, "Sample"),
              std::vector<unsigned char>({1, 2}));
    testing_support::DeleteKeyTree(HKEY_CURRENT_USER, key);
}

}  // namespace
