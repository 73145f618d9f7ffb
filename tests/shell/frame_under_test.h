// A main frame created the way the application creates it (the document,
// then the frame, then the frame becomes the main window), driven through
// the application's own message loop, with real keyboard and mouse input,
// on a fake desktop that records and answers what the frame would show.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "actions/action_target.h"
#include "fake_desktop.h"
#include "shell/veyrith_doc.h"
#include "shell_windows.h"

// The one application object of a test program that creates main frames.
CVeyrithApp& App();

class FrameUnderTest {
public:
    // The frame's tool and quarantine live in toolFolder; empty: the test
    // program's folder, where the real tool is built.
    explicit FrameUnderTest(CVeyrithApp& app, std::wstring toolFolder = std::wstring())
        : m_app(app), m_toolFolder(std::move(toolFolder)) {}
    ~FrameUnderTest();

    // Creates, shows and activates the frame (no splash).
    bool Create();
    // The frame's desktop.
    FakeDesktop& Desktop() { return m_desktop; }
    // The frame's desktop with nothing recorded yet, answering every box
    // with boxAnswer.
    FakeDesktop& FreshDesktop(int boxAnswer = IDOK);
    CMainFrame* operator->() { return m_frame.get(); }
    CMainFrame& Frame() { return *m_frame; }
    HWND Handle() const { return m_frame ? m_frame->Handle() : nullptr; }
    bool Exists() const { return Handle() && IsWindow(Handle()); }

    // Runs the loop for a while, or until done() holds.
    void Pump(DWORD ms);
    template <typename Done>
    bool PumpUntil(DWORD timeoutMs, Done done) {
        return ::PumpUntil(m_app, timeoutMs, done);
    }
    // Sends a command as the menu does and runs the loop briefly.
    void Command(UINT id);
    // Starts a scan with the Scan command and waits until it has ended.
    bool RunScan(DWORD timeoutMs = 30000);
    // Puts the keyboard focus into a window of the frame.
    void Focus(HWND window);
    // Selects a tree item and puts the focus into the tree.
    void FocusTreeItem(HTREEITEM item);
    // Selects one list row (-1: none) and puts the focus into the list.
    void FocusListRow(int row);
    // What the actions act on now, by the frame's focus rule.
    CActionTarget ActionTarget();
    // The scan's result that the frame shows (its document's).
    CScanResult& Result() { return m_document.ScanResult(); }
    // The module of a tree item in the result; null for any other item.
    const CModuleFinding* ItemModule(HTREEITEM item);

    // The menu bar's popup with that title ("&Action"), null when none.
    HMENU MenuBarPopup(const std::string& title) const;
    // Opens a popup of the menu bar as the system does (WM_INITMENUPOPUP)
    // and returns whether the item is enabled afterwards.
    bool MenuItemEnabled(const std::string& popupTitle, UINT id);
    bool MenuItemChecked(const std::string& popupTitle, UINT id);
    // Lets the idle pass run, then reads the toolbar button.
    bool ToolButtonEnabled(UINT id);

private:
    CVeyrithApp& m_app;
    std::wstring m_toolFolder;
    FakeDesktop m_desktop;
    CVeyrithDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
};

// Presses the keys in order and releases them in reverse order, as a user
// does (VK_SHIFT first for Shift+...), through the system's input queue.
void PressKeys(std::initializer_list<BYTE> keys);

// A real left click at a screen point.
void ClickAt(POINT screen);

// Takes a quit request that a closed main window left in the queue; true
// when there was one.
bool TakeQuitMessage();
