// Moves values between a dialog's controls and the dialog object's members.
// The same description runs in both directions: Saving() tells which.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class DataExchange {
public:
    DataExchange(HWND dialog, bool saving) : m_dialog(dialog), m_saving(saving) {}
    bool Saving() const { return m_saving; }

    // An edit or static control's text, in UTF-16.
    void Text(int id, std::wstring& value);
    // A check box: checked is true, unchecked (or indeterminate) false.
    void Check(int id, bool& value);

private:
    HWND m_dialog;
    bool m_saving;
};

}  // namespace fw
