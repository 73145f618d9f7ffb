// The about box: the product picture in a borderless popup; a click on it
// closes the box.
#pragma once

#include "framework/dialog.h"

class CAboutDlg : public fw::Dialog {
public:
    CAboutDlg();

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;
};
