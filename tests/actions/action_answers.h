// What the actions tests share: answers to the confirmation dialogs and the
// system's list of deletions pending for the next start.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_desktop.h"

// One confirmation dialog as the test saw it when it opened; the texts in
// the code page and, for names beyond it, in UTF-16.
struct SeenDialog {
    UINT templateId;
    std::string heading, type, place;
    bool firstMethodChecked, rebootChecked;
    std::wstring headingW, placeW;
};

// Answers every confirmation dialog of a desktop: records it, lets the test
// set its controls, then presses the button.
class DialogAnswers {
public:
    explicit DialogAnswers(FakeDesktop& desktop);
    ~DialogAnswers();
    void Answer(UINT pressed, std::function<void(HWND)> before = nullptr);
    std::vector<SeenDialog> seen;

private:
    FakeDesktop& m_desktop;
    UINT m_button = IDCANCEL;
    std::function<void(HWND)> m_prepare;
};

// The pending renames of the system, put back as they were afterwards.
class PendingRenames {
public:
    PendingRenames();
    ~PendingRenames();
    // True when a file of that name is pending (read as ANSI strings).
    static bool Has(const std::string& fileName);
    // True when the file of that full path, compared without regard to
    // case, is pending for deletion (read in UTF-16).
    static bool HasDeletionOf(const std::wstring& path);

private:
    std::vector<unsigned char> m_saved;
};
