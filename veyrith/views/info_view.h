// The info pane: the bottom pane of the main window. It shows one of the
// program's HTML pages, or the page of a module of the scan's result, in
// the web browser control; where the control does
// not cover the pane (or there is no control at all) the pane is white.
#pragma once

#include <windows.h>

#include <string>

#include "census/scan_result.h"
#include "views/web_browser2.h"
#include "framework/window.h"

class CInfoView : public fw::Window {
public:
    CInfoView() = default;
    ~CInfoView() override = default;

    // Creates the pane and the browser control in it (when the system has one).
    bool Create(HWND parent, UINT id);
    // Shows the welcome page.
    void OnInitialUpdate();
    // Loads the page resource of the running executable with that name.
    void ShowPage(const char* resourceName);
    // Shows the page of a module of the result (ModulePageHtml); anything
    // but a module's index leaves the pane as it is.
    void ShowModulePage(const CScanResult& result, int module);
    // The module whose page shows, -1 while a page resource shows.
    int ShownModule() const { return m_nShownModule; }
    // The module page last shown, empty while a page resource shows.
    const std::wstring& ModulePage() const { return m_modulePage; }
    // True when the keyboard focus is in the pane or inside the browser.
    bool HasFocus() const;
    // Lets the browser take its keys while it has the focus; true when used.
    bool TranslateAccelerator(MSG& msg);

    // The name of the page resource last asked for, empty before the first
    // one and while a module's page shows.
    const std::string& RequestedPage() const { return m_requestedPage; }
    CWebBrowser2& Browser() { return m_browser; }

protected:
    const wchar_t* ClassName() const override { return L"VeyrithInfoView"; }
    void PrepareClass(WNDCLASSEXW& wc) const override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(CREATESTRUCTW& cs) override;

private:
    void OnSize(int cx, int cy);

    CWebBrowser2 m_browser;
    std::string m_requestedPage;
    int m_nShownModule = -1;
    std::wstring m_modulePage;
};
