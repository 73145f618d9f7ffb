// The HTML Help runtime, loaded at the first use and kept. Its library is
// the file registered for the HTML Help control's class id, else
// "hhctrl.ocx" from the library search path; HtmlHelpW is its export
// ordinal 15. Paths stay UTF-16 throughout (the registered file, the help
// file and the Windows folder may hold any name). When neither loads, that
// is remembered and every later call does nothing, silently.
#pragma once

#include <windows.h>

#include <string>

#include "common/owners.h"

constexpr wchar_t kHtmlHelpServerKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr wchar_t kHtmlHelpLibrary[] = L"hhctrl.ocx";

class CHtmlHelp {
public:
    // serverKey: the InprocServer32 key below HKEY_CLASSES_ROOT; library:
    // the file name tried when the registered one does not load.
    explicit CHtmlHelp(std::wstring serverKey = kHtmlHelpServerKey, std::wstring library = kHtmlHelpLibrary);
    ~CHtmlHelp();
    CHtmlHelp(const CHtmlHelp&) = delete;
    CHtmlHelp& operator=(const CHtmlHelp&) = delete;

    // Loads the runtime on the first call; later calls give the same answer.
    bool Load();
    // Shows the table of contents of a help location ("file.chm::/topic.htm").
    // False when the runtime is missing or the call failed.
    bool DisplayContents(const std::wstring& location);

    bool HasFailed() const { return m_bTried && !m_pfnHtmlHelp; }
    // The library that was loaded, empty when none.
    std::wstring LoadedFrom() const;

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

    std::wstring RegisteredLibrary() const;

    std::wstring m_strServerKey;
    std::wstring m_strLibrary;
    bool m_bTried = false;
    CLibrary m_hLibrary;
    HtmlHelpFunction m_pfnHtmlHelp = nullptr;
};
