// A bar built from a dialog template: a modeless child dialog whose
// commands (a click on a check box, say) go to the frame it belongs to.
#pragma once

#include "framework/dialog.h"

namespace fw {

class DialogBar : public Dialog {
public:
    explicit DialogBar(UINT templateId) : Dialog(templateId) {}

    // Creates the bar as a child of parent with the control id; its
    // commands go to commandTarget.
    bool Create(HWND parent, UINT id, HWND commandTarget);
    // The bar's size as the template lays it out.
    SIZE Size() const;
    bool IsChecked(int controlId) const { return IsDlgButtonChecked(Handle(), controlId) == BST_CHECKED; }

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    HWND m_commandTarget = nullptr;
};

}  // namespace fw
