// The one top-level window of veyrith. Its caption is exactly the
// application title, which is how the uninstaller finds a running copy.
#pragma once

#include "window.h"

class CVeyrithDoc;

class CMainFrame : public fw::Window {
public:
    CMainFrame() = default;

    // Creates the frame for the document at the system's default size,
    // centred on the desktop, hidden until the application shows it.
    bool Create(CVeyrithDoc* pDocument);
    CVeyrithDoc* GetActiveDocument() const { return m_pDocument; }

    // The frame cannot be made smaller than this.
    static constexpr int kMinTrackWidth = 300;
    static constexpr int kMinTrackHeight = 300;

protected:
    const char* ClassName() const override { return "VeyrithMainFrame"; }
    void PrepareClass(WNDCLASSEXA& wc) const override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(CREATESTRUCTA& cs) override;
    void OnDestroy() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    CVeyrithDoc* m_pDocument = nullptr;
};
