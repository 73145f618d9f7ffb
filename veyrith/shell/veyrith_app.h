// The application object of veyrith: start-up checks, the single document
// and the main frame, the splash's share of the message loop.
// What it shows, and what the frame shows, goes through the desktop it is
// made with.
#pragma once

#include "common/owners.h"
#include "framework/application.h"
#include "framework/desktop.h"
#include "shell/main_frame.h"
#include "shell/veyrith_doc.h"

#include <functional>
#include <memory>

class CVeyrithApp : public fw::Application {
public:
    // Fills an OS-version record; the real one asks the system.
    using VersionReader = std::function<bool(OSVERSIONINFOA&)>;

    explicit CVeyrithApp(CDesktop& desktop);
    ~CVeyrithApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // Windows 2000 or later: NT family with major version 5 or more.
    static bool IsSupportedWindows(const OSVERSIONINFOA& version);
    // Reads the version; on an older system says so and returns false.
    bool CheckWindowsVersion();
    void SetVersionReader(VersionReader reader) { m_readVersion = std::move(reader); }

    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }

protected:
    bool PreFilter(MSG& msg) override;

private:
    bool CreateMainFrame();

    CDesktop& m_desktop;
    VersionReader m_readVersion;
    // Held for the life of the process: the name says an instance runs.
    CHandle m_hInstanceMutex;
    std::unique_ptr<CVeyrithDoc> m_pDocument;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
