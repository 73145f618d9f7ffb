#include "fake_desktop.h"

#include "framework/dialog.h"
#include "test_support.h"

int FakeDesktop::ShowMessage(const std::wstring& text, UINT type) {
    boxes.push_back(Box{testing_support::Narrow(text), type, text});
    return boxAnswer;
}

void FakeDesktop::ShellOpen(HWND owner, const std::wstring& verb, const std::wstring& file,
                            const std::wstring& parameters, int show) {
    shellOpens.push_back(ShellCall{owner, testing_support::Narrow(verb), file, parameters, show});
}

INT_PTR FakeDesktop::Confirm(fw::Dialog& dialog, HWND owner) {
    dialogs.push_back(dialog.TemplateId());
    if (!dialog.CreateModeless(owner)) return -1;
    UINT button = answerDialog ? answerDialog(dialog.Handle(), dialog.TemplateId()) : IDCANCEL;
    SendMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    // A dialog that stays open after the button refused it.
    if (!dialog.Handle()) return button;
    dialog.Destroy();
    return IDCANCEL;
}

bool FakeDesktop::ChooseSavePath(HWND owner, std::wstring& path) {
    saveAsOwners.push_back(owner);
    return choosePath && choosePath(owner, path);
}

void FakeDesktop::Clear() {
    boxes.clear();
    shellOpens.clear();
    restarts = 0;
    dialogs.clear();
    saveAsOwners.clear();
    openedReports.clear();
}
