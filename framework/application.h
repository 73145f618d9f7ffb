// The application object and the message loop of the user-interface thread.
// One Application exists per program; a program derives from it, does its
// start-up in InitInstance and filters messages in PreFilter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/string_resource.h"

namespace fw {

using ::kAppTitleStringId;

class Application {
public:
    using IdleHandler = std::function<void()>;
    using MessageFilter = std::function<bool(MSG&)>;

    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object, null when none exists.
    static Application* Current();

    // Start-up; false ends the program.
    virtual bool InitInstance() { return true; }
    // Clean-up after the loop; returns the exit code.
    virtual int ExitInstance();

    // InitInstance, the message loop, ExitInstance.
    int Main();
    // The message loop until WM_QUIT; returns its exit code.
    int Run();
    // Handles the messages that are waiting now, as the loop does, without
    // waiting for more; false when WM_QUIT was taken.
    bool PumpWaiting();

    std::wstring Title() const;
    HWND MainWindow() const { return m_mainWindow; }
    void SetMainWindow(HWND hwnd) { m_mainWindow = hwnd; }
    // Keys of the main window's accelerator table are translated into its
    // commands while the focus is in the main window.
    void SetAccelerators(HACCEL table) { m_accelerators = table; }

    // Handlers run when the queue has become empty after a message that
    // changes what the user sees (not after mouse moves, paints or 0x0118).
    // Returns a number that RemoveIdleHandler takes to drop the handler
    // again (a window that goes away before the application does).
    int AddIdleHandler(IdleHandler handler);
    void RemoveIdleHandler(int handlerId);
    // Offered each message before the modeless dialog and the accelerators
    // (the hosted web browser takes its keys here while it has the focus).
    void SetBrowserFilter(MessageFilter filter) { m_browserFilter = std::move(filter); }

    // The modeless dialog that gets keyboard navigation in the loop.
    void SetActiveModeless(HWND dialog) { m_activeModeless = dialog; }
    HWND ActiveModeless() const { return m_activeModeless; }

    // HKEY_CURRENT_USER\Software\<company>\<title> becomes the program key.
    void SetRegistryKey(const std::wstring& company);
    // Starts COM and OLE for hosted controls; undone in ExitInstance.
    bool EnableControlContainer();

protected:
    // The program's own first look at each message; true swallows it.
    virtual bool PreFilter(MSG&) { return false; }
    // The whole pre-translation: PreFilter, the web browser, the active
    // modeless dialog, the main window's accelerators.
    bool PreTranslate(MSG& msg);

private:
    void Process(MSG& msg);
    void RunIdle();
    static bool CausesIdle(const MSG& msg);

    HWND m_mainWindow = nullptr;
    HACCEL m_accelerators = nullptr;
    HWND m_activeModeless = nullptr;
    MessageFilter m_browserFilter;
    std::vector<std::pair<int, IdleHandler>> m_idleHandlers;
    int m_nextIdleHandlerId = 1;
    bool m_oleStarted = false;
};

// Called by modeless dialogs as they are activated, deactivated or destroyed.
void SetActiveModelessDialog(HWND dialog, bool active);

}  // namespace fw
